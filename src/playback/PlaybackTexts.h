// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaPlayer.h"

#include <QString>

#include <exception>

// Playback's own texts.
namespace PlaybackTexts {

inline QString offline() {
    return QStringLiteral("播放错误，请查看是否系统已联网，或关闭迅雷等下载软件后再试！");
}
inline QString playedPrefix() {
    return QStringLiteral("已播放: ");
}
inline QString finiteRemark() {
    return QStringLiteral(" - 当前电台可能非全时段播放");
}
// The player cannot start (missing or broken installation), then why.
inline QString playerMissing(const std::exception& why) {
    return QStringLiteral("此软件需要Windows Media Playe7.0以上版本支持,请检查是否已正确安装。") +
           QStringLiteral("\n\n") + QString::fromUtf8(why.what());
}
inline QString muted() {
    return QStringLiteral("静音");
}
// The volume bar's hint at a level from 0 to 100: while the mouse moves over it, and as each show
// of the main window sets it.
inline QString volumeBarHint(int level) {
    return QStringLiteral("音量:%1").arg(level);
}
inline QString volumeShowHint(int level) {
    return QStringLiteral("音量 %1%").arg(level);
}
inline QString volumeAtMaximum() {
    return QStringLiteral("音量值已经为最大！");
}
inline QString volumeAtMinimum() {
    return QStringLiteral("音量值已经为最小！");
}
// The mute button's hint.
inline QString muteButtonHint(bool muted) {
    return muted ? QStringLiteral("静音") : QStringLiteral("声音");
}
inline QString firstStation() {
    return QStringLiteral("已经是第一个电台！");
}
inline QString lastStation() {
    return QStringLiteral("已经是最后一个电台！");
}
inline QString presetNotSet() {
    return QStringLiteral("请先设置预置电台！");
}
// The player lost the stream and plays it again: the status line, then the try's number.
inline QString reconnecting(const QString& station, int attempt) {
    return QStringLiteral("正在重新连接: %1 (第%2次)").arg(station).arg(attempt);
}
// It gave up, and why.
inline QString reconnectGaveUp(const QString& station, const QString& why) {
    return QStringLiteral("无法重新连接: %1（%2）").arg(station, why);
}
inline QString stationUnreachable() {
    return QStringLiteral("电台无法连接");
}
inline QString streamBrokeOff() {
    return QStringLiteral("电台中断了播放");
}
inline QString stationSilent() {
    return QStringLiteral("电台没有声音");
}
// The player's state; the status line shows its first four characters.
inline QString playerStatus(MediaPlayer::Status status) {
    switch (status) {
        case MediaPlayer::Status::ready:
            break;
        case MediaPlayer::Status::connecting:
            return QStringLiteral("正在连接…");
        case MediaPlayer::Status::buffering:
            return QStringLiteral("正在缓冲");
        case MediaPlayer::Status::playing:
            return QStringLiteral("正在播放");
        case MediaPlayer::Status::paused:
            return QStringLiteral("已经暂停");
        case MediaPlayer::Status::stopped:
            return QStringLiteral("已经停止");
        case MediaPlayer::Status::ended:
            return QStringLiteral("播放结束");
        case MediaPlayer::Status::failed:
            return QStringLiteral("播放出错");
        case MediaPlayer::Status::noAudioOutput:
            return QStringLiteral("没有声音输出");
    }
    return QStringLiteral("准备就绪");
}

}  // namespace PlaybackTexts
