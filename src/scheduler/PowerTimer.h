// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scheduler/WallClockSeconds.h"

#include <QString>

#include <functional>

class OptionsStore;
class TimeSource;

// The daily power action of the options window: when the clock reads the option `time` while
// `mission` is on, the action `kind` runs, every day again.
class PowerTimer {
  public:
    // powerAction: carries out "关机", "待机" or "休眠".
    PowerTimer(const OptionsStore& options, const TimeSource& time,
               std::function<void(const QString&)> powerAction);

    // One tick of Timer4: every second begun since the last tick is compared once.
    void Timer4Timer();
    // Timer4 is switched on again: a time that passed while it was off does not count.
    void restart();

    // The finish action of a power-action kind (0 shut down, 1 standby, 2 hibernate); empty for
    // any other.
    static QString actionOf(int kind);

  private:
    const OptionsStore& options_;
    const TimeSource& time_;
    std::function<void(const QString&)> powerAction_;
    WallClockSeconds seconds_;
    QDate firedOn_;  // once a day: the hour repeated at the end of summer time fires nothing
};
