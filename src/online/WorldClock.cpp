// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/WorldClock.h"

#include <array>

namespace {

struct City {
    const char16_t* label;  // the name and the blanks that line the times up
    int offsetHours;        // from the computer's local time
};

const std::array<City, 15> kCities = {{
    {u"罗马    ", -7},
    {u"柏林    ", -7},
    {u"莫斯科  ", -5},
    {u"温哥华  ", -15},
    {u"洛杉矶  ", -16},
    {u"巴黎    ", -7},
    {u"纽约    ", -13},
    {u"伦敦    ", -8},
    {u"东京    ", 1},
    {u"悉尼    ", 2},
    {u"迪拜    ", -4},
    {u"韩国    ", 1},
    {u"新加坡  ", 0},
    {u"墨西哥城    ", -14},
    {u"里约热内卢  ", -11},
}};

}  // namespace

QStringList WorldClock::cityNames() {
    QStringList names;
    for (const City& city : kCities)
        names << QString::fromUtf16(city.label).trimmed();
    return names;
}

QStringList WorldClock::captions(const QDateTime& localNow) {
    QStringList captions;
    const QTime time = localNow.time();
    for (const City& city : kCities)
        captions << QString::fromUtf16(city.label) +
                        time.addSecs(city.offsetHours * 3600).toString(QStringLiteral("HH:mm"));
    return captions;
}
