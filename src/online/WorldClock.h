// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QStringList>

// The world clock of the time-sync button's menu: fifteen cities, each at a fixed number of
// hours from the computer's local time (no daylight saving anywhere), shown "hh:mm".
namespace WorldClock {

// The captions before the first refresh: the bare city names.
QStringList cityNames();
// The captions at this local time: each city's label (padded so that the times line up) and
// its time of day.
QStringList captions(const QDateTime& localNow);

}  // namespace WorldClock
