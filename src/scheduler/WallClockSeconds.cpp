// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/WallClockSeconds.h"

#include <algorithm>

std::vector<WallClockSeconds::Second> WallClockSeconds::since(const QDateTime& now) {
    const qint64 current = now.toSecsSinceEpoch();
    qint64 from = current;
    if (last_) {
        if (current <= *last_ && current >= *last_ - kBacklog)
            return {};  // this second was handed out already, or the clock went back a little
        // A clock set back further starts afresh at its new time.
        if (current > *last_)
            from = std::max(*last_ + 1, current - kBacklog + 1);
    }
    last_ = current;
    // Counted back on the wall clock from now: one time-zone conversion a call, which is most of
    // what a pass costs.
    const QDate today = now.date();
    const int ofDay = now.time().msecsSinceStartOfDay() / 1000;
    std::vector<Second> seconds;
    seconds.reserve(size_t(current - from + 1));
    for (qint64 s = from; s <= current; ++s) {
        const int back = int(current - s);
        if (ofDay >= back)
            seconds.push_back({today, ofDay - back});
        else
            seconds.push_back({today.addDays(-1), ofDay - back + 86400});
    }
    return seconds;
}

void WallClockSeconds::skipTo(const QDateTime& now) {
    const qint64 before = now.toSecsSinceEpoch() - 1;
    if (!last_ || *last_ < before)
        last_ = before;
}
