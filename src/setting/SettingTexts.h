// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The options window's messages, and the captions of the power actions it offers.
namespace SettingTexts {

inline QString recordFolderEmpty() {
    return QStringLiteral("当前录音目录为空,请重新进行设置！");
}

inline QString recordFolderNotSet() {
    return QStringLiteral("请先设置录音存放目录。");
}

inline QString chooseFolderTitle() {
    return QStringLiteral("请选择录音文件的存放目录:");
}

inline QString noQqClient() {
    return QStringLiteral("请检测是否安装了QQ客户端！");
}

// The power actions a task can end in: 0 shut down, 1 stand by, 2 hibernate.
inline QString powerShutDown() {
    return QStringLiteral("关闭电脑");
}
inline QString powerStandBy() {
    return QStringLiteral("电脑待机");
}
inline QString powerHibernate() {
    return QStringLiteral("电脑休眠");
}

// The reminder of the armed power action, or that none is.
inline QString powerActionArmed(const QString& action) {
    return action + QStringLiteral("----已启动");
}
inline QString noPowerAction() {
    return QStringLiteral("当前无任务");
}

// The hint of the format button: 0 MP3, 1 WMA.
inline QString formatHint(int style) {
    return style == 1 ? QStringLiteral("Wma格式") : QStringLiteral("Mp3格式");
}

}  // namespace SettingTexts
