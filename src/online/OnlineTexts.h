// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>

// The texts of the network time and the catalogue update.
namespace OnlineTexts {

// The balloon title after the program's title.
inline QString balloonTitleSuffix() {
    return QStringLiteral(" 提示");
}
// The time set, then the new local date and time.
inline QString timeSynced() {
    return QStringLiteral("时间同步成功,现在时间是: ");
}
inline QString timeSyncFailed() {
    return QStringLiteral("时间同步错误！请检查是否联网或稍后再试！");
}

// The balloon of a merged update: the program's title, then how many stations came.
inline QString stationsAddedTitle(const QString& title, size_t added) {
    return title + QStringLiteral(" 提示: 新增加了") + QString::number(added) +
           QStringLiteral("个电台");
}
inline QString stationsAddedDetail() {
    return QStringLiteral("点击查看详细电台清单...");
}
inline QString updateFailed() {
    return QStringLiteral("更新出错，请检查是否联网或被杀毒软件所阻止！");
}

}  // namespace OnlineTexts
