// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

#include <ctime>

// The current local time, and a clock that only runs on: tests put the scheduler, the stamps and
// the clocks at any instant.
class TimeSource {
  public:
    virtual ~TimeSource() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds from an arbitrary start, counting on however the wall clock is set (standby
    // included): how long something has really lasted.
    virtual qint64 monotonicMsecs() const = 0;
};

class SystemTimeSource : public TimeSource {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMsecs() const override {
        timespec t{};
        clock_gettime(CLOCK_BOOTTIME, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
    }
};
