// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TimeSource.h"

// A clock the test sets; it stands still between settings. Time passing moves both clocks;
// setting the wall clock (at) moves only that one, as setting the computer's clock would.
class FakeTimeSource : public TimeSource {
  public:
    QDateTime now() const override { return at; }
    qint64 monotonicMsecs() const override { return elapsed; }
    void advanceMsecs(qint64 msecs) {
        at = at.addMSecs(msecs);
        elapsed += msecs;
    }

    QDateTime at{QDate(2026, 12, 9), QTime(12, 0, 0)};
    qint64 elapsed = 0;
};
