// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppInfo.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The scheduler's own texts: the kinds of task, the weekdays, the start balloon.
namespace TaskTexts {

inline QString play() {
    return QStringLiteral("定时播放");
}
inline QString playAndRecord() {
    return QStringLiteral("播放并录音");
}
inline QString balloonTitle() {
    return AppInfo::title() + QStringLiteral(" 提示:");
}
// The weekday names of a weekly task's period, Monday first: the same whatever the locale.
inline const QStringList& weekdayNames() {
    static const QStringList names = {QStringLiteral("星期一"), QStringLiteral("星期二"),
                                      QStringLiteral("星期三"), QStringLiteral("星期四"),
                                      QStringLiteral("星期五"), QStringLiteral("星期六"),
                                      QStringLiteral("星期日")};
    return names;
}
inline QString started(const QString& kind, const QString& station) {
    return QStringLiteral("已启动 -- ") + kind + u' ' + station;
}
inline QString skippedForRecording(const QString& kind, const QString& station,
                                   const QString& recording) {
    return QStringLiteral("未启动 -- ") + kind + u' ' + station + QStringLiteral("：") + recording +
           QStringLiteral(" 的定时录音尚未结束");
}

// Tasks that fell due while the program was not running or the computer slept, one a line.
inline QString missed(const QStringList& lines) {
    return QStringLiteral("以下定时任务在程序未运行或电脑休眠时错过了：\n") + lines.join(u'\n');
}
inline QString missedLine(const QDateTime& at, const QString& kind, const QString& station) {
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + u' ' + kind + u' ' + station;
}

}  // namespace TaskTexts
