// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemClock.h"

#include <QList>

// Records the instants the clock was set to; refuses with a reason when told to.
class FakeSystemClock : public SystemClock {
  public:
    void setTime(const QDateTime& instant, std::function<void(const QString&)> done) override {
        if (refusal.isEmpty())
            set << instant;
        done(refusal);
    }
    QList<QDateTime> set;
    QString refusal;
};
