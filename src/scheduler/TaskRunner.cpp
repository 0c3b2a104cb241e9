// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/TaskRunner.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/Dialogs.h"
#include "platform/TimeSource.h"
#include "playback/PlaybackTexts.h"
#include "playback/StreamKeeper.h"
#include "scheduler/TaskTexts.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <climits>

namespace {

// A row without a start time is due at midnight.
int startSecond(const StationRow& row) {
    const auto start = row.dateTime(Field::startTime);
    return start ? start->time().msecsSinceStartOfDay() / 1000 : 0;
}

// A task of a kind that starts, due on day's weekday (or every day).
bool startsOn(const StationRow& row, const QDate& day) {
    const QStringView kind = row.textView(Field::planType);
    const QStringView period = row.textView(Field::period);
    return (kind == TaskTexts::play() || kind == TaskTexts::playAndRecord()) &&
           (period.isEmpty() || period == TaskTexts::weekdayNames()[day.dayOfWeek() - 1]);
}

}  // namespace

TaskRunner::TaskRunner(const SchedulerSnapshot& snapshot, StreamKeeper& player, Dialogs& dialogs,
                       const TimeSource& time, WindowFields& fields, Hooks hooks)
    : snapshot_(snapshot),
      player_(player),
      dialogs_(dialogs),
      time_(time),
      fields_(fields),
      hooks_(std::move(hooks)) {
    reindex();
}

void TaskRunner::reindex() {
    bySecond_.clear();
    const std::vector<StationRow>& rows = snapshot_.rows;
    for (int i = 0; i < int(rows.size()); ++i)
        if (rows[size_t(i)].isTask())
            bySecond_.emplace_back(startSecond(rows[size_t(i)]), i);
    // Stable: rows due in the same second stay in table order.
    std::stable_sort(bySecond_.begin(), bySecond_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void TaskRunner::startall() {
    // A pass inside a pass (a tick while a window opened by a task start waits for the user)
    // leaves its seconds to the next pass after.
    if (inPass_)
        return;
    const QScopedValueRollback passing(inPass_, true);
    const QDateTime now = time_.now();
    // The computer slept (or the clock went forward): what fell due meanwhile does not start,
    // and the user learns what it was.
    if (lastPass_.isValid() && lastPass_.secsTo(now) > WallClockSeconds::kBacklog + 1) {
        const QStringList missed =
            missedBetween(lastPass_, now.addSecs(-WallClockSeconds::kBacklog));
        if (!missed.isEmpty())
            hooks_.balloon(TaskTexts::balloonTitle(), TaskTexts::missed(missed));
    }
    lastPass_ = now;
    for (const WallClockSeconds::Second& second : seconds_.since(now)) {
        weekplay(second);
        dayplay(second);
    }
}

int TaskRunner::firstDue(int second, const std::function<bool(const StationRow&)>& test) const {
    auto it = std::lower_bound(bySecond_.begin(), bySecond_.end(), std::pair{second, -1});
    for (; it != bySecond_.end() && it->first == second; ++it)
        if (test(snapshot_.rows[size_t(it->second)]))
            return it->second;
    return -1;
}

bool TaskRunner::dueWithin(const QDateTime& now, int seconds) const {
    // Seconds from to last of one day.
    const auto dueOn = [this](const QDate& date, int from, int last) {
        for (auto it = std::lower_bound(bySecond_.begin(), bySecond_.end(), std::pair{from, -1});
             it != bySecond_.end() && it->first <= last; ++it)
            if (startsOn(snapshot_.rows[size_t(it->second)], date))
                return true;
        return false;
    };
    const QDate today = now.date();
    const int ofDay = now.time().msecsSinceStartOfDay() / 1000;
    const int last = ofDay + seconds;
    if (last < 86400)
        return dueOn(today, ofDay + 1, last);
    return dueOn(today, ofDay + 1, 86399) || dueOn(today.addDays(1), 0, last - 86400);
}

QDateTime TaskRunner::nextDue(const QDateTime& now) const {
    const int after = now.time().msecsSinceStartOfDay() / 1000;
    for (int days = 0; days <= kMissedDays; ++days) {
        const QDate day = now.date().addDays(days);
        auto it = days == 0 ? std::upper_bound(bySecond_.begin(), bySecond_.end(),
                                               std::pair{after, INT_MAX})
                            : bySecond_.begin();
        for (; it != bySecond_.end(); ++it)
            if (startsOn(snapshot_.rows[size_t(it->second)], day))
                return QDateTime(day, QTime::fromMSecsSinceStartOfDay(it->first * 1000));
    }
    return {};
}

QStringList TaskRunner::missedBetween(const QDateTime& from, const QDateTime& to) const {
    const QDateTime since = std::max(from, to.addDays(-kMissedDays));
    std::vector<std::pair<QDateTime, int>> missed;  // the last time of each row
    for (const auto& [second, index] : bySecond_) {
        for (QDate day = to.date(); day >= since.date(); day = day.addDays(-1)) {
            const QDateTime at(day, QTime::fromMSecsSinceStartOfDay(second * 1000));
            if (at > since && at <= to && startsOn(snapshot_.rows[size_t(index)], day)) {
                missed.emplace_back(at, index);
                break;
            }
        }
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList lines;
    for (const auto& [at, index] : missed) {
        const StationRow& row = snapshot_.rows[size_t(index)];
        lines << TaskTexts::missedLine(at, row.text(Field::planType), row.text(Field::stationName));
    }
    return lines;
}

void TaskRunner::weekplay(const WallClockSeconds::Second& second) {
    const QString& today = TaskTexts::weekdayNames()[second.date.dayOfWeek() - 1];
    const int found = firstDue(second.ofDay, [&](const StationRow& row) {
        const QStringView period = row.textView(Field::period);
        return !period.isEmpty() && period == today;
    });
    if (found >= 0)
        startTask(snapshot_.rows[size_t(found)], second, true);
}

void TaskRunner::dayplay(const WallClockSeconds::Second& second) {
    const int found = firstDue(
        second.ofDay, [](const StationRow& row) { return row.textView(Field::period).isEmpty(); });
    if (found >= 0)
        startTask(snapshot_.rows[size_t(found)], second, false);
}

void TaskRunner::startTask(const StationRow& row, const WallClockSeconds::Second& second,
                           bool weekly) {
    const QString station = row.text(Field::stationName);
    // A weekly and a daily task of one station in one second are two tasks.
    const std::pair<QString, int> task{station, second.ofDay + (weekly ? 86400 : 0)};
    if (matched_.value(task) == second.date)
        return;  // this second again: the clock went back
    matched_.insert(task, second.date);
    const QString kind = row.text(Field::planType);
    if (running_ && running_->records && hooks_.recording()) {
        // The recording goes on whole; the user learns what did not start, and why.
        hooks_.balloon(TaskTexts::balloonTitle(),
                       TaskTexts::skippedForRecording(kind, station, running_->station));
        return;
    }
    fields_.title5 = station;
    fields_.armedFinishAction = row.text(Field::finishAction);
    taskCountdown = row.integer(Field::intervalSeconds).value_or(0);
    fields_.rdfile = true;

    const bool records = kind == TaskTexts::playAndRecord();
    if (!records && kind != TaskTexts::play())
        return;  // a kind of task this program does not know starts nothing
    // Shown once the pass is over: the seconds after this one are still examined on time.
    const auto tellLater = [this](const QString& title, const QString& text) {
        QMetaObject::invokeMethod(
            &messages_,
            [this, title, text] { dialogs_.message(title, text, Dialogs::Icon::error); },
            Qt::QueuedConnection);
    };
    if (!player_.isOnline()) {
        // The previous version's title, except for a daily play task.
        tellLater(!weekly && !records ? AppInfo::title() : AppInfo::oldTitle(),
                  PlaybackTexts::offline());
        return;
    }
    if (records && hooks_.recording())
        hooks_.toggleRecording();  // one made by hand ends, saved, and the task's begins
    hooks_.statusTimer(true);
    player_.Stop();
    player_.setURL(row.text(Field::streamUrl));
    try {
        player_.Play();
    } catch (const MediaPlayerError& e) {
        // As when offline: the task starts nothing, and the pass goes on.
        tellLater(AppInfo::oldTitle(), PlaybackTexts::playerMissing(e));
        return;
    }
    hooks_.balloon(TaskTexts::balloonTitle(), TaskTexts::started(kind, fields_.title5));
    hooks_.countdownTimer(true);
    running_ = Running{station, records, time_.monotonicMsecs() + qint64(taskCountdown) * 1000};
    player_.keepUntil(running_->endsAt);  // a lost stream is tried again to the task's end
    fields_.playSource = PlaySource::Task;
    // Last: a message of a recording that cannot begin waits for an OK, and the task's length
    // counts from its second all the same.
    if (records) {
        hooks_.toggleRecording();
        hooks_.progressTimer(true);
    }
}

void TaskRunner::Timer3Timer() {
    if (running_ && time_.monotonicMsecs() < running_->endsAt)
        return;
    player_.Stop();
    if (hooks_.recording()) {
        hooks_.toggleRecording();  // stops it; its encoding ends with the armed power action
        hooks_.progressTimer(false);
        hooks_.selectRoot();
    } else if (running_ && running_->records) {
        hooks_.notRecorded();  // its recording never began: said, and its power action follows
    }
    running_.reset();
    hooks_.countdownTimer(false);
}
