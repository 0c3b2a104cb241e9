// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

// The current local time. Tests put the scheduler, the stamps and the clocks at any instant.
class TimeSource {
  public:
    virtual ~TimeSource() = default;
    virtual QDateTime now() const = 0;
};

class SystemTimeSource : public TimeSource {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
