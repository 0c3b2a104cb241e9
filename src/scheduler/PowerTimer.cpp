#include "scheduler/PowerTimer.h"

#include "platform/TimeSource.h"
#include "setting/OptionsStore.h"

PowerTimer::PowerTimer(const OptionsStore& options, const TimeSource& time,
                       std::function<void(const QString&)> powerAction)
    : options_(options), time_(time), powerAction_(std::move(powerAction)) {}

QString PowerTimer::actionOf(int kind) {
    switch (kind) {
        case 0:
            return QStringLiteral("关机");
        case 1:
            return QStringLiteral("待机");
        case 2:
            return QStringLiteral("休眠");
        default:
            return {};
    }
}

void PowerTimer::Timer4Timer() {
    // Options are read afresh at each tick: a change in the options window counts at once.
    const int armedAt = options_.time.msecsSinceStartOfDay() / 1000;
    for (const WallClockSeconds::Second& second : seconds_.since(time_.now())) {
        if (!options_.mission || second.ofDay != armedAt)
            continue;
        const QString action = actionOf(options_.kind);
        if (!action.isEmpty())
            powerAction_(action);
    }
}
