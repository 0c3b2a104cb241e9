// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

// Wakes the computer from standby at a time, where the system lets the program do so.
class Waker {
  public:
    virtual ~Waker() = default;
    virtual bool canWake() const = 0;
    // Arms the one wake-up at `at`, replacing the one before; false when the system refuses.
    virtual bool wakeAt(const QDateTime& at) = 0;
    virtual void cancel() = 0;
};

// A CLOCK_REALTIME_ALARM timer: it needs CAP_WAKE_ALARM, which systemd (from version 254) grants
// to the programs of a local session. Without it the timer cannot be made, and nothing is armed.
class AlarmWaker : public Waker {
  public:
    AlarmWaker();
    ~AlarmWaker() override;
    AlarmWaker(const AlarmWaker&) = delete;
    AlarmWaker& operator=(const AlarmWaker&) = delete;

    bool canWake() const override { return fd_ >= 0; }
    bool wakeAt(const QDateTime& at) override;
    void cancel() override;

  private:
    int fd_ = -1;  // the timer lives as long as it is open
};
