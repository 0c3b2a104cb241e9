// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace RecordingTexts {

inline QString recordFolderMissing() {
    return QStringLiteral("当前录音目录为空或者不存在,请选择“录音设置”标签,重新进行设置.");
}

// A fixed text, then what went wrong.
inline QString withReason(const QString& text, const char* reason) {
    return text + QStringLiteral("\n\n") + QString::fromUtf8(reason);
}

inline QString interrupted(const QString& reason) {
    return QStringLiteral("录音中断，已录下的部分将照常保存。\n\n") + reason;
}

inline QString movedTo(const QString& path) {
    return QStringLiteral("录音目录已无法写入，已录下的部分连同后面的录音保存在：\n") + path;
}

inline QString goesToMusicFolder(const QString& folder) {
    return QStringLiteral("当前录音目录为空或者不存在，本次录音将保存在：\n") + folder;
}

// The power actions that may follow a recording, as tasks and the options name them.
inline QString powerOff() {
    return QStringLiteral("关机");
}
inline QString standby() {
    return QStringLiteral("待机");
}
inline QString hibernate() {
    return QStringLiteral("休眠");
}

inline QString deviceFailed() {
    return QStringLiteral("启动默认录音设备出错！");
}
inline QString startFailed() {
    return QStringLiteral("录音程序启动失败！");
}
inline QString notPlaying() {
    return QStringLiteral("请在播放状态下使用录音功能.");
}
// The record button's hint.
inline QString startHint() {
    return QStringLiteral("开始录音");
}
inline QString stopHint() {
    return QStringLiteral("停止录音");
}
// The status bar while recording: the time recorded and the estimated size of the encoded file.
inline QString progress(const QString& elapsed, double megabytes) {
    return QStringLiteral("已录音:%1 - %2 MB").arg(elapsed).arg(megabytes, 0, 'f', 2);
}
// The status bar while a recording waits for sound: the time recorded, and what it waits for.
inline QString waitingForSound(const QString& elapsed, bool soundServer) {
    return QStringLiteral("已录音:%1 - %2")
        .arg(elapsed,
             soundServer ? QStringLiteral("等待声音服务器") : QStringLiteral("等待电台声音"));
}
// What a recording holds once saved: its file, the time recorded, and its interruptions.
inline QString recorded(const QString& fileName, int seconds, int gaps, int gapSeconds) {
    const QString length = QStringLiteral("%1:%2:%3")
                               .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                               .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                               .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("录音已保存：%1，时长 %2").arg(fileName, length) +
           (gaps > 0 ? QStringLiteral("，中断%1次，共%2秒").arg(gaps).arg(gapSeconds)
                     : QStringLiteral("，没有中断"));
}
// Why a recording holds nothing: the station never sounded, the sound server was away, or the
// recording could not begin.
enum class Nothing { station, soundServer, notStarted };
inline QString nothingRecorded(const QString& station, Nothing why) {
    switch (why) {
        case Nothing::station:
            break;
        case Nothing::soundServer:
            return station + QStringLiteral("：声音服务器无法连接，未录音");
        case Nothing::notStarted:
            return station + QStringLiteral("：录音未能开始，未录音");
    }
    return station + QStringLiteral("：电台无法连接，未录音");
}
inline QString notEncoded(const QString& wavPath, const QString& reason) {
    return QStringLiteral("录音未能编码，原始录音保存在：\n%1\n\n%2").arg(wavPath, reason);
}

inline QString saving() {
    return QStringLiteral("正在保存录音，请稍候…");
}

inline QString recovered(const QStringList& names) {
    return QStringLiteral("上次录音未正常结束，已恢复并保存：\n") + names.join(u'\n');
}

}  // namespace RecordingTexts
