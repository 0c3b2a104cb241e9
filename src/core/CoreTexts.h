// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of the program as a whole, below its windows.
namespace CoreTexts {

// Why the program keeps the computer awake, as the desktop lists it.
inline QString keptAwake() {
    return QStringLiteral("正在录音或播放定时任务");
}

inline QString taskSoon() {
    return QStringLiteral("定时任务即将开始");
}

// The task editor's line where the program may not wake the computer from standby.
inline QString cannotWake() {
    return QStringLiteral("本机不能自动唤醒电脑，任务开始时须保持开机。");
}

inline QString fatalExit() {
    return QStringLiteral("发生致命错误，程序将强制关闭！");
}

}  // namespace CoreTexts
