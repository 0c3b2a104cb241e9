// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exception>

// The application shell's own texts.
namespace AppTexts {

inline QString alreadyRunning() {
    return QStringLiteral("Corvinatone 已经在运行了!");
}
inline QString catalogueMissing(const QString& downloadPage) {
    return QStringLiteral(
               "电台数据库文件rd.cds载入出错.请将rd.cds文件复制到此程序目录下,或者至官方网站 ") +
           downloadPage + QStringLiteral(" 下载最新版本.");
}
// The fixed message, then what actually went wrong.
inline QString withReason(const QString& message, const std::exception& e) {
    return message + QStringLiteral("\n\n") + QString::fromUtf8(e.what());
}

// The tray menu's captions, exactly (runs of spaces, the blank after "→").
inline QString trayShow() {
    return QStringLiteral("显示主界面");
}
inline QString trayTimeSync() {
    return QStringLiteral("网络对时");
}
inline QString trayUpdateNow() {
    return QStringLiteral("立即更新");
}
inline QString trayPresets() {
    return QStringLiteral("预置电台");
}
inline QString trayVolume() {
    return QStringLiteral("音量控制");
}
inline QString trayVolumeUp() {
    return QStringLiteral("增大音量    ↑");
}
inline QString trayVolumeDown() {
    return QStringLiteral("减少音量    ↓");
}
inline QString trayMute() {
    return QStringLiteral("静音");
}
inline QString trayPlayback() {
    return QStringLiteral("播放控制");
}
inline QString trayPlay() {
    return QStringLiteral("播放");
}
inline QString trayStop() {
    return QStringLiteral("停止");
}
inline QString trayPrevious() {
    return QStringLiteral("上一个电台   ←");
}
inline QString trayNext() {
    return QStringLiteral("下一个电台   → ");
}
inline QString trayRandom() {
    return QStringLiteral("随机播放");
}
inline QString traySettings() {
    return QStringLiteral("设置...");
}
inline QString traySponsor() {
    return QStringLiteral("赞助作者...");
}
inline QString trayExit() {
    return QStringLiteral("退出");
}

}  // namespace AppTexts
