// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scheduler/WallClockSeconds.h"

#include <QObject>
#include <QString>

#include <QHash>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class Dialogs;
class StreamKeeper;
class TimeSource;
struct SchedulerSnapshot;
struct StationRow;
struct WindowFields;

// Starts the timed tasks of the scheduler snapshot at their start second and ends them after
// their length, in real seconds whatever the clock or the ticks do. A task starts once at its
// second: the same second coming again (the clock set back, the hour the end of summer time
// repeats) starts nothing, and a task never cuts a recording task that runs. Runs on the
// user-interface thread, one pass per tick of Timer1, one check of the end per tick of Timer3.
class TaskRunner {
  public:
    struct Hooks {
        std::function<void(bool)> statusTimer;     // Timer2 on or off
        std::function<void(bool)> countdownTimer;  // Timer3 on or off
        std::function<void(bool)> progressTimer;   // Timer5 on or off
        std::function<void()> toggleRecording;
        std::function<bool()> recording;    // a recording runs
        std::function<void()> notRecorded;  // a recording task ends whose recording never began
        std::function<void(const QString& title, const QString& text)> balloon;
        std::function<void()> selectRoot;  // the genre tree's first node, "所有电台"
    };

    // A task start sets title5 (its station), armedFinishAction (its power action, for the next
    // finished encoding), rdfile (recordings are named after it) and playSource.
    TaskRunner(const SchedulerSnapshot& snapshot, StreamKeeper& player, Dialogs& dialogs,
               const TimeSource& time, WindowFields& fields, Hooks hooks);

    // The snapshot was refreshed: index its task rows by start second again.
    void reindex();
    // One pass: every second begun since the last pass is examined once, weekly tasks first.
    void startall();
    // The first weekly, or daily, task due in this second is started.
    void weekplay(const WallClockSeconds::Second& second);
    void dayplay(const WallClockSeconds::Second& second);
    // Whether a task of a kind that starts falls due in the seconds after now's, up to that many.
    bool dueWithin(const QDateTime& now, int seconds) const;
    // The tasks of a kind that starts that fell due after from, up to to (at most a week), each
    // once at its last time, as the user is told of them; oldest first.
    QStringList missedBetween(const QDateTime& from, const QDateTime& to) const;
    // When the next task of a kind that starts falls due after now, within a week; invalid
    // when none does.
    QDateTime nextDue(const QDateTime& now) const;
    static constexpr int kMissedDays = 7;
    // Ends the running task once its length has passed.
    void Timer3Timer();
    // Timer3 went off elsewhere (the stop button, the record button): no task runs any more.
    void countdownStopped() { running_.reset(); }

    // The length, in seconds, of the task matched last.
    qint32 taskCountdown = 0;

  private:
    // The first task row due in this second that the test accepts, or -1.
    int firstDue(int second, const std::function<bool(const StationRow&)>& test) const;
    void startTask(const StationRow& row, const WallClockSeconds::Second& second, bool weekly);

    const SchedulerSnapshot& snapshot_;
    StreamKeeper& player_;
    Dialogs& dialogs_;
    const TimeSource& time_;
    WindowFields& fields_;
    Hooks hooks_;
    WallClockSeconds seconds_;
    bool inPass_ = false;  // a modal window opened by a task start runs ticks of its own
    QDateTime lastPass_;   // the wall time of the last pass: a jump past it was slept through
    QObject messages_;     // the no-network message waits for the event loop, not the pass
    // (start second of the day, row) of every task row, by second, in table order within one.
    std::vector<std::pair<int, int>> bySecond_;
    struct Running {
        QString station;
        bool records;
        qint64 endsAt;  // on the monotonic clock
    };
    std::optional<Running> running_;
    // The day each task (by its station, and its start second plus a day for a weekly one) was
    // last matched on.
    QHash<std::pair<QString, int>, QDate> matched_;
};
