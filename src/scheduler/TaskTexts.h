// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppInfo.h"

#include <QString>

// The scheduler's own texts: the kinds of task, the start balloon.
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
inline QString started(const QString& kind, const QString& station) {
    return QStringLiteral("已启动 -- ") + kind + u' ' + station;
}

}  // namespace TaskTexts
