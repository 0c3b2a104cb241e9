// SPDX-License-Identifier: GPL-3.0-or-later
// The task runner and the power timer against a clock the test sets.
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "playback/StreamKeeper.h"
#include "scheduler/PowerTimer.h"
#include "scheduler/TaskRunner.h"
#include "scheduler/TaskTexts.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeTimeSource.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QDate kWednesday(2026, 12, 9);

StationRow task(const QString& name, const QString& kind, const QString& period,
                std::optional<QTime> start, std::optional<qint32> interval = 60,
                const QString& finish = {}) {
    StationRow row = StationRow::station(name, {}, {}, {}, QStringLiteral("http://h/") + name);
    row.setText(Field::planType, kind);
    row.setText(Field::period, period);
    if (start)
        row.setDateTime(Field::startTime, CdsDateTime::fromDateTime(QDate(2012, 11, 30), *start));
    row.setInteger(Field::intervalSeconds, interval);
    row.setText(Field::finishAction, finish);
    return row;
}

class Runner : public ::testing::Test {
  protected:
    // The clock at a time of day on a Wednesday, milliseconds included.
    void at(QTime time) { clock.at = QDateTime(kWednesday, time); }
    void add(const StationRow& row) {
        snapshot.rows.push_back(row);
        runner.reindex();
    }
    QStringList started() const {
        QStringList urls;
        for (const QString& call : player.calls)
            if (call.startsWith(QStringLiteral("URL=")))
                urls << call.mid(4);
        return urls;
    }
    // Ticks of Timer3 a second apart while it is on, at most limit; how many there were.
    int ticksUntilEnd(int limit) {
        int ticks = 0;
        while (countdownOn && ticks < limit) {
            clock.advanceMsecs(1000);
            runner.Timer3Timer();
            ++ticks;
        }
        return ticks;
    }

    SchedulerSnapshot snapshot;
    FakeMediaPlayer player;
    FakeDialogs dialogs;
    FakeTimeSource clock;
    StreamKeeper kept{player, clock};
    WindowFields fields;
    bool statusOn = false, countdownOn = false, progressOn = false, recordingShown = false;
    QStringList events;
    std::function<void()> duringToggle;  // runs once, inside the next toggle
    bool captureFails = false;           // a recording cannot begin
    TaskRunner runner{snapshot,
                      kept,
                      dialogs,
                      clock,
                      fields,
                      {.statusTimer = [this](bool on) { statusOn = on; },
                       .countdownTimer = [this](bool on) { countdownOn = on; },
                       .progressTimer = [this](bool on) { progressOn = on; },
                       .toggleRecording =
                           [this] {
                               events << QStringLiteral("toggle");
                               if (!captureFails)
                                   recordingShown = !recordingShown;
                               if (duringToggle)
                                   std::exchange(duringToggle, nullptr)();
                           },
                       .recording = [this] { return recordingShown; },
                       .notRecorded = [this] { events << QStringLiteral("not recorded"); },
                       .balloon = [this](const QString& title,
                                         const QString& text) { events << title + u'|' + text; },
                       .selectRoot = [this] { events << QStringLiteral("all stations"); }}};
};

}  // namespace

TEST_F(Runner, WeeklyThenDailyInTheSameSecondAndOnlyTheFirstOfEachKind) {
    add(task(QStringLiteral("Daily A"), QStringLiteral("定时播放"), {}, QTime(8, 0)));
    add(task(QStringLiteral("Daily B"), QStringLiteral("定时播放"), {}, QTime(8, 0)));
    add(task(QStringLiteral("Tuesday"), QStringLiteral("定时播放"), QStringLiteral("星期二"),
             QTime(8, 0)));
    add(task(QStringLiteral("Wednesday"), QStringLiteral("播放并录音"), QStringLiteral("星期三"),
             QTime(8, 0), 60, QStringLiteral("休眠")));
    add(task(QStringLiteral("Later"), QStringLiteral("定时播放"), {}, QTime(8, 0, 1)));
    // Weekday names are the editor's Chinese ones whatever the user's locale says.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    at(QTime(7, 59, 59, 500));
    runner.startall();
    EXPECT_TRUE(started().isEmpty());
    at(QTime(8, 0, 0, 300));
    runner.startall();
    QLocale::setDefault(QLocale::system());

    // The weekly recording runs on whole: the daily task of the same second does not cut it, and
    // the user learns why it did not start.
    EXPECT_EQ(started(), QStringList{"http://h/Wednesday"});
    EXPECT_EQ(events,
              (QStringList{"Corvinatone 2.21 提示:|已启动 -- 播放并录音 Wednesday", "toggle",
                           "Corvinatone 2.21 提示:|未启动 -- 定时播放 Daily A：Wednesday "
                           "的定时录音尚未结束"}));
    EXPECT_EQ(fields.title5, QStringLiteral("Wednesday"));
    EXPECT_EQ(fields.armedFinishAction, QStringLiteral("休眠"));
    EXPECT_TRUE(fields.rdfile);
    EXPECT_EQ(fields.playSource, PlaySource::Task);
    EXPECT_TRUE(statusOn && countdownOn && progressOn);
    EXPECT_EQ(player.calls.mid(0, 3), (QStringList{"Stop", "URL=http://h/Wednesday", "Play"}));
}

TEST_F(Runner, ATaskLastsItsLengthInRealSecondsAndStopsItsRecording) {
    add(task(QStringLiteral("No length"), QStringLiteral("定时播放"), {}, std::nullopt,
             std::nullopt));
    at(QTime(0, 0, 0, 999));  // a row without a start time is due at midnight
    runner.startall();
    ASSERT_EQ(started(), QStringList{"http://h/No length"});
    EXPECT_EQ(runner.taskCountdown, 0);
    EXPECT_EQ(ticksUntilEnd(100), 1);  // no length: the next tick ends it
    EXPECT_EQ(player.calls.last(), QStringLiteral("Stop"));
    EXPECT_TRUE(events.filter(QStringLiteral("all stations")).isEmpty());  // nothing recorded

    add(task(QStringLiteral("Record"), QStringLiteral("播放并录音"), {}, QTime(9, 0), 3,
             QStringLiteral("关机")));
    at(QTime(9, 0));
    runner.startall();
    EXPECT_EQ(events.count(QStringLiteral("toggle")), 1);
    EXPECT_EQ(ticksUntilEnd(100), 3);                      // length 3: three seconds
    EXPECT_EQ(events.count(QStringLiteral("toggle")), 2);  // the recording stopped
    EXPECT_EQ(events.last(), QStringLiteral("all stations"));
    EXPECT_FALSE(progressOn);
    EXPECT_EQ(fields.armedFinishAction, QStringLiteral("关机"));  // for the encoding's end

    // Ticks that stall count their time, and setting the clock back lengthens nothing.
    add(task(QStringLiteral("Stalled"), QStringLiteral("播放并录音"), {}, QTime(10, 0), 10));
    at(QTime(10, 0));
    runner.startall();
    clock.advanceMsecs(8000);  // one tick eight seconds late
    runner.Timer3Timer();
    EXPECT_TRUE(countdownOn);
    at(QTime(9, 0));  // an hour back, mid-task
    EXPECT_EQ(ticksUntilEnd(100), 2);
    EXPECT_EQ(events.count(QStringLiteral("toggle")), 4);

    // A recording task of length 0 stops its recording too, at the next tick.
    add(task(QStringLiteral("Zero"), QStringLiteral("播放并录音"), {}, QTime(11, 0), 0));
    at(QTime(11, 0));
    runner.startall();
    EXPECT_EQ(ticksUntilEnd(100), 1);
    EXPECT_FALSE(recordingShown);

    // One whose recording could not begin still ends, and says so.
    captureFails = true;
    at(QTime(11, 0));
    clock.advanceMsecs(24 * 3600 * 1000);
    runner.startall();
    EXPECT_EQ(ticksUntilEnd(100), 1);
    EXPECT_EQ(events.last(), QStringLiteral("not recorded"));
}

TEST_F(Runner, EverySecondIsExaminedOnceWhateverTheTicksDo) {
    add(task(QStringLiteral("At 10"), QStringLiteral("播放并录音"), {}, QTime(10, 0, 1)));
    add(task(QStringLiteral("Skipped minutes"), QStringLiteral("定时播放"), {}, QTime(10, 5)));
    add(task(QStringLiteral("Just before"), QStringLiteral("定时播放"), {}, QTime(10, 9, 56)));

    at(QTime(10, 0, 0, 999));
    runner.startall();
    at(QTime(10, 0, 2, 1));  // late: 10:00:01 had no tick of its own
    runner.startall();
    EXPECT_EQ(started(), QStringList{"http://h/At 10"});

    at(QTime(10, 0, 2, 500));  // a second tick within 10:00:02, and one back in 10:00:01
    runner.startall();
    at(QTime(10, 0, 1, 900));
    runner.startall();
    EXPECT_EQ(events.count(QStringLiteral("toggle")), 1);  // the recording was not stopped again
    recordingShown = false;  // stopped by hand: later tasks start again

    at(QTime(10, 10, 0));  // waking after ten minutes: only the last five seconds are caught up
    runner.startall();
    EXPECT_EQ(started(), (QStringList{"http://h/At 10", "http://h/Just before"}));

    // The clock set back an hour runs on from its new time, but starts no task twice.
    add(task(QStringLiteral("After nine"), QStringLiteral("定时播放"), {}, QTime(9, 0, 1)));
    at(QTime(9, 0, 0));
    runner.startall();
    at(QTime(9, 0, 1));
    runner.startall();
    at(QTime(10, 0, 1));
    runner.startall();
    EXPECT_EQ(started(),
              (QStringList{"http://h/At 10", "http://h/Just before", "http://h/After nine"}));
}

TEST_F(Runner, ASecondCaughtUpAfterMidnightKeepsItsOwnDay) {
    add(task(QStringLiteral("Wednesday night"), QStringLiteral("定时播放"),
             QStringLiteral("星期三"), QTime(23, 59, 59)));
    add(task(QStringLiteral("Thursday midnight"), QStringLiteral("定时播放"),
             QStringLiteral("星期四"), QTime(0, 0, 0)));
    at(QTime(23, 59, 58, 900));
    runner.startall();
    clock.at = QDateTime(kWednesday.addDays(1), QTime(0, 0, 1, 100));
    runner.startall();
    EXPECT_EQ(started(), (QStringList{"http://h/Wednesday night", "http://h/Thursday midnight"}));
}

TEST_F(Runner, APassInsideAPassLeavesItsSecondsToTheNextPass) {
    add(task(QStringLiteral("First"), QStringLiteral("播放并录音"), {}, QTime(13, 0, 0)));
    add(task(QStringLiteral("Second"), QStringLiteral("定时播放"), {}, QTime(13, 0, 1)));
    at(QTime(12, 59, 59));
    runner.startall();
    // Starting the recording opens a window that waits for the user; the tick of the next
    // second comes while the first start is still under way.
    QStringList startedWithin;
    duringToggle = [&] {
        at(QTime(13, 0, 1, 200));
        runner.startall();
        startedWithin = started();
    };
    at(QTime(13, 0, 0));
    runner.startall();
    EXPECT_EQ(startedWithin, QStringList{"http://h/First"});
    recordingShown = false;  // its recording stopped by hand: Second may start
    at(QTime(13, 0, 1, 800));
    runner.startall();
    EXPECT_EQ(started(), (QStringList{"http://h/First", "http://h/Second"}));
}

TEST_F(Runner, WhatNeverRuns) {
    StationRow deleted = task(QStringLiteral("Deleted"), QString(), {}, QTime(11, 0));
    add(deleted);
    add(task(QStringLiteral("Typed day"), QStringLiteral("定时播放"), QStringLiteral("Wednesday"),
             QTime(11, 0)));
    add(task(QStringLiteral("Other kind"), QStringLiteral("定时录音"), {}, QTime(11, 0), 7,
             QStringLiteral("待机")));
    at(QTime(11, 0));
    runner.startall();
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_FALSE(countdownOn);
    // An unknown kind starts nothing, but what the match sets is set.
    EXPECT_EQ(fields.title5, QStringLiteral("Other kind"));
    EXPECT_EQ(fields.armedFinishAction, QStringLiteral("待机"));
    EXPECT_EQ(runner.taskCountdown, 7);

    // A snapshot not refreshed keeps what the runner saw: a later change needs reindex.
    snapshot.rows[0].setText(Field::planType, QStringLiteral("定时播放"));
    runner.reindex();
    at(QTime(11, 0, 0));  // the same second again: not examined twice
    runner.startall();
    EXPECT_TRUE(player.calls.isEmpty());
}

TEST_F(Runner, OfflineAtTheStartSecondShowsTheMessageUnderEachKindsTitle) {
    player.online = false;
    add(task(QStringLiteral("Day play"), QStringLiteral("定时播放"), {}, QTime(12, 0, 0)));
    add(task(QStringLiteral("Day record"), QStringLiteral("播放并录音"), {}, QTime(12, 0, 1)));
    add(task(QStringLiteral("Week play"), QStringLiteral("定时播放"), QStringLiteral("星期三"),
             QTime(12, 0, 2)));
    add(task(QStringLiteral("Week record"), QStringLiteral("播放并录音"), QStringLiteral("星期三"),
             QTime(12, 0, 3)));
    at(QTime(11, 59, 59));
    runner.startall();
    for (int i = 0; i < 4; ++i) {
        clock.advanceMsecs(1000);
        runner.startall();
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());  // not inside the pass: later seconds stay on time
    QCoreApplication::processEvents();
    QStringList titles;
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.text,
                  QStringLiteral("播放错误，请查看是否系统已联网，或关闭迅雷等下载软件后再试！"));
        EXPECT_EQ(shown.icon, Dialogs::Icon::error);
        titles << shown.title;
    }
    EXPECT_EQ(titles, (QStringList{"Corvinatone 2.21", "Corvinatone 2.2", "Corvinatone 2.2",
                                   "Corvinatone 2.2"}));
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(fields.title5, QStringLiteral("Week record"));
    EXPECT_TRUE(fields.rdfile);
}

TEST_F(Runner, APlayerThatCannotStartIsToldAfterThePassAndLaterSecondsStillRun) {
    player.cannotStart = QStringLiteral("libvlc could not be created");
    add(task(QStringLiteral("Record"), QStringLiteral("播放并录音"), {}, QTime(12, 0, 0)));
    add(task(QStringLiteral("Play"), QStringLiteral("定时播放"), {}, QTime(12, 0, 1)));
    at(QTime(11, 59, 59));
    runner.startall();
    clock.advanceMsecs(2000);
    runner.startall();  // both seconds in one pass
    EXPECT_EQ(started(), (QStringList{"http://h/Record", "http://h/Play"}));
    EXPECT_TRUE(events.isEmpty());  // no recording, no balloon
    EXPECT_FALSE(countdownOn);
    EXPECT_TRUE(dialogs.shown.isEmpty());  // not inside the pass
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.2"));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("此软件需要Windows Media Playe7.0以上版本支持,请检查是否已正确安装。"
                             "\n\nlibvlc could not be created"));
}

TEST(PowerTimer, FiresAtItsSecondEveryDayOnlyWhileArmed) {
    OptionsStore options(QStringLiteral("/nonexistent/option.ini"));
    FakeTimeSource clock;
    QStringList actions;
    PowerTimer timer(options, clock, [&](const QString& action) { actions << action; });
    const auto tick = [&](QDate day, QTime time) {
        clock.at = QDateTime(day, time);
        timer.Timer4Timer();
    };
    options.time = QTime(12, 0, 0);
    options.kind = 1;
    tick(kWednesday.addDays(-1), QTime(12, 0, 0, 100));  // not armed
    options.mission = true;
    tick(kWednesday, QTime(11, 59, 59, 999));
    tick(kWednesday, QTime(12, 0, 1, 2));  // late, past the second: still once
    tick(kWednesday, QTime(12, 0, 1, 500));
    EXPECT_EQ(actions, QStringList{"待机"});
    options.kind = 2;
    tick(kWednesday.addDays(1), QTime(12, 0, 0));
    options.kind = 0;
    tick(kWednesday.addDays(2), QTime(12, 0, 0));
    options.kind = 5;  // no such action
    tick(kWednesday.addDays(3), QTime(12, 0, 0));
    EXPECT_EQ(actions, (QStringList{"待机", "休眠", "关机"}));

    // Switched off before its time and on again two seconds after: that day's time has passed.
    options.kind = 0;
    tick(kWednesday.addDays(4), QTime(11, 59, 59));
    clock.at = QDateTime(kWednesday.addDays(4), QTime(12, 0, 2));
    timer.restart();
    tick(kWednesday.addDays(4), QTime(12, 0, 2, 10));
    EXPECT_EQ(actions.size(), 3);

    // The clock set back over its time (or the hour summer time's end repeats): once a day.
    tick(kWednesday.addDays(5), QTime(12, 0, 0));
    tick(kWednesday.addDays(5), QTime(11, 59, 0));
    for (int s = 1; s <= 60; ++s)
        tick(kWednesday.addDays(5), QTime(11, 59, 0).addSecs(s));
    EXPECT_EQ(actions.size(), 4);
}

TEST_F(Runner, TwoTasksOfOneStationEachStartOnceWhenTheClockGoesBack) {
    add(task(QStringLiteral("Same"), QStringLiteral("定时播放"), {}, QTime(10, 0), 5));
    add(task(QStringLiteral("Same"), QStringLiteral("定时播放"), {}, QTime(10, 30), 5));
    add(task(QStringLiteral("Same"), QStringLiteral("定时播放"), QStringLiteral("星期三"),
             QTime(10, 0), 5));  // weekly, in the daily one's second: both start
    at(QTime(10, 0));
    runner.startall();
    at(QTime(10, 30));
    runner.startall();
    at(QTime(9, 59, 59));  // set back half an hour and more
    runner.startall();
    at(QTime(10, 0));
    runner.startall();
    EXPECT_EQ(started().size(), 3);
}

TEST_F(Runner, SummerTimeStartsTheSkippedHoursTasksOnceAndItsEndRepeatsNone) {
    const QTimeZone berlin("Europe/Berlin");
    add(task(QStringLiteral("In the gap"), QStringLiteral("定时播放"), {}, QTime(2, 30)));
    add(task(QStringLiteral("Twice an hour"), QStringLiteral("定时播放"), {}, QTime(2, 15)));
    // 29 March 2026: 02:00 becomes 03:00.
    clock.at = QDateTime(QDate(2026, 3, 29), QTime(1, 59, 59), berlin);
    runner.startall();
    clock.advanceMsecs(1000);
    ASSERT_EQ(clock.at.time(), QTime(3, 0, 0));
    runner.startall();
    EXPECT_EQ(started(), (QStringList{"http://h/Twice an hour", "http://h/In the gap"}));
    clock.advanceMsecs(1000);
    runner.startall();
    EXPECT_EQ(started().size(), 2);  // once

    // 25 October 2026: 03:00 becomes 02:00 again; 02:15 comes twice, the task starts once.
    // (02:30 passes once up to 02:15 of the repeated hour.)
    player.calls.clear();
    clock.at = QDateTime(QDate(2026, 10, 25), QTime(1, 14, 59), berlin);
    runner.startall();
    for (int i = 0; i < 2 * 3600 + 2; ++i) {
        clock.advanceMsecs(1000);
        runner.startall();
    }
    ASSERT_EQ(clock.at.time(), QTime(2, 15, 1));
    EXPECT_EQ(started(), (QStringList{"http://h/Twice an hour", "http://h/In the gap"}));

    // The computer moved to another time zone: a clock set forward seven hours, not a gap.
    player.calls.clear();
    add(task(QStringLiteral("Five"), QStringLiteral("定时播放"), {}, QTime(5, 0)));
    clock.at = QDateTime(QDate(2026, 12, 9), QTime(3, 0), berlin);
    runner.startall();
    clock.at = clock.at.toTimeZone(QTimeZone("Asia/Shanghai")).addSecs(1);
    runner.startall();
    EXPECT_TRUE(started().isEmpty());
}

TEST_F(Runner, TasksMissedWhileAsleepOrNotRunningAreListedOnceAtTheirLastTime) {
    add(task(QStringLiteral("Daily"), QStringLiteral("定时播放"), {}, QTime(7, 30)));
    add(task(QStringLiteral("Weekly"), QStringLiteral("播放并录音"), QStringLiteral("星期三"),
             QTime(9, 0)));
    add(task(QStringLiteral("Thursdays"), QStringLiteral("播放并录音"), QStringLiteral("星期四"),
             QTime(9, 0)));
    add(task(QStringLiteral("Other kind"), QStringLiteral("定时录音"), {}, QTime(8, 0)));
    // Not running since Monday evening: the daily task once, at its last time; Thursday's not yet.
    EXPECT_EQ(
        runner.missedBetween(QDateTime(kWednesday.addDays(-2), QTime(20, 0)),
                             QDateTime(kWednesday, QTime(12, 0))),
        (QStringList{"2026-12-09 07:30 定时播放 Daily", "2026-12-09 09:00 播放并录音 Weekly"}));
    // Never more than a week back; nothing from an instant on.
    EXPECT_EQ(runner
                  .missedBetween(QDateTime(QDate(2020, 1, 1), QTime(0, 0)),
                                 QDateTime(kWednesday, QTime(8, 0)))
                  .size(),
              3);
    EXPECT_TRUE(
        runner.missedBetween(QDateTime(kWednesday, QTime(9, 0)), QDateTime(kWednesday, QTime(9, 0)))
            .isEmpty());

    // The computer slept from 8:59 to 9:30: the weekly task does not start, and the user is told.
    at(QTime(8, 59));
    runner.startall();
    clock.advanceMsecs(31 * 60 * 1000);
    runner.startall();
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(events, QStringList{TaskTexts::balloonTitle() +
                                  "|以下定时任务在程序未运行或电脑休眠时错过了：\n"
                                  "2026-12-09 09:00 播放并录音 Weekly"});
    clock.advanceMsecs(1000);
    runner.startall();
    EXPECT_EQ(events.size(), 1);
}
