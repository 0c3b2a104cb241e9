// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TimeSource.h"

// A clock the test sets; it stands still between settings.
class FakeTimeSource : public TimeSource {
  public:
    QDateTime now() const override { return at; }
    void advanceMsecs(qint64 msecs) { at = at.addMSecs(msecs); }

    QDateTime at{QDate(2026, 12, 9), QTime(12, 0, 0)};
};
