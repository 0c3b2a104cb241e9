// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

}  // namespace PlaybackTexts
