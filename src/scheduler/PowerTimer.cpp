// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/PowerTimer.h"

#include "platform/TimeSource.h"
#include "recording/RecordingTexts.h"

#include <QStringList>
#include "setting/OptionsStore.h"

PowerTimer::PowerTimer(const OptionsStore& options, const TimeSource& time,
                       std::function<void(const QString&)> powerAction)
    : options_(options), time_(time), powerAction_(std::move(powerAction)) {}

QString PowerTimer::actionOf(int kind) {
    static const QStringList actions = {RecordingTexts::powerOff(), RecordingTexts::standby(),
                                        RecordingTexts::hibernate()};
    return kind >= 0 && kind < actions.size() ? actions[kind] : QString();
}

void PowerTimer::Timer4Timer() {
    // Options are read afresh at each tick: a change in the options window counts at once.
    const int armedAt = options_.time.msecsSinceStartOfDay() / 1000;
    for (const WallClockSeconds::Second& second : seconds_.since(time_.now())) {
        if (!options_.mission || second.ofDay != armedAt || second.date == firedOn_)
            continue;
        firedOn_ = second.date;
        const QString action = actionOf(options_.kind);
        if (!action.isEmpty())
            powerAction_(action);
    }
}

void PowerTimer::restart() {
    seconds_.skipTo(time_.now());
}
