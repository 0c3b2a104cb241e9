// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The options window's messages.
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

// The hint of the format button: 0 MP3, 1 WMA.
inline QString formatHint(int style) {
    return style == 1 ? QStringLiteral("Wma格式") : QStringLiteral("Mp3格式");
}

}  // namespace SettingTexts
