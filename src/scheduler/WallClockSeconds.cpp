// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/WallClockSeconds.h"

#include <QTimeZone>

#include <algorithm>

namespace {

// The wall second delta seconds of wall time after at's.
WallClockSeconds::Second wallSecond(const QDateTime& at, int delta) {
    QDate date = at.date();
    int ofDay = at.time().msecsSinceStartOfDay() / 1000 + delta;
    for (; ofDay < 0; ofDay += 86400)
        date = date.addDays(-1);
    for (; ofDay >= 86400; ofDay -= 86400)
        date = date.addDays(1);
    return {date, ofDay};
}

// Whether now's time zone changed its offset from UTC after from, up to last.
bool transitionBetween(const QDateTime& now, qint64 from, qint64 last) {
    const QTimeZone::OffsetData next =
        now.timeZone().nextTransition(QDateTime::fromSecsSinceEpoch(from, QTimeZone::utc()));
    return next.atUtc.isValid() && next.atUtc.toSecsSinceEpoch() <= last;
}

}  // namespace

std::vector<WallClockSeconds::Second> WallClockSeconds::since(const QDateTime& now) {
    const qint64 current = now.toSecsSinceEpoch();
    const int offset = now.offsetFromUtc();
    const std::optional<qint64> before = last_;
    const int offsetBefore = lastOffset_;
    qint64 from = current;
    if (last_) {
        if (current <= *last_ && current >= *last_ - kBacklog)
            return {};  // this second was handed out already, or the clock went back a little
        // A clock set back further starts afresh at its new time.
        if (current > *last_)
            from = std::max(*last_ + 1, current - kBacklog + 1);
    }
    last_ = current;
    lastOffset_ = offset;
    std::vector<Second> seconds;
    if (before && offset != offsetBefore && transitionBetween(now, *before, current)) {
        // Daylight saving time began or ended since the last call: each second from its own
        // offset, and a gap in the wall clock handed out at the first second after it. (A new
        // time zone of the computer is a clock set, handed out as one.)
        int previous =
            from == *before + 1 ? offsetBefore : now.addSecs(from - 1 - current).offsetFromUtc();
        for (qint64 s = from; s <= current; ++s) {
            const QDateTime at = now.addSecs(s - current);
            const int own = at.offsetFromUtc();
            for (int skipped = own - previous; skipped > 0; --skipped)
                seconds.push_back(wallSecond(at, -skipped));
            seconds.push_back(wallSecond(at, 0));
            previous = own;
        }
        return seconds;
    }
    // Counted back on the wall clock from now: one time-zone conversion a call, which is most of
    // what a pass costs.
    const QDate today = now.date();
    const int ofDay = now.time().msecsSinceStartOfDay() / 1000;
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
    if (!last_ || *last_ < before) {
        last_ = before;
        lastOffset_ = now.addSecs(-1).offsetFromUtc();
    }
}
