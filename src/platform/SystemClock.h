// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

// Setting the computer's clock. The answer may wait for the user (an administrator's password):
// it comes back through done, with an empty text on success and the reason otherwise.
class SystemClock {
  public:
    virtual ~SystemClock() = default;
    virtual void setTime(const QDateTime& instant, std::function<void(const QString&)> done) = 0;
};

// Through systemd-timedated on the system bus (SetTime, absolute, interactive: polkit may ask).
class TimedatedClock : public QObject, public SystemClock {
    Q_OBJECT

  public:
    void setTime(const QDateTime& instant, std::function<void(const QString&)> done) override;
};
