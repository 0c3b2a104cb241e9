// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RadioCore.h"
#include "support/FakeCoreServices.h"
#include "support/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

// The core without a window: fake services, a catalogue of two stations, recordings into the
// program folder.
class Core : public ::testing::Test, protected FakeCoreServices {
  protected:
    void SetUp() override {
        StationTable table(folder.filePath(QStringLiteral("rd.cds")));
        for (const char* name : {"Alpha", "Beta"})
            table.append(StationRow::station(QString::fromUtf8(name), {}, {}, {},
                                             QStringLiteral("http://h/") + QLatin1String(name)));
        table.commitAndSave();
        ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("option.ini")),
                              "[info]\nrecord=" + QFile::encodeName(folder.path()) + "\n"));
        core.emplace(folder.path(), coreServices(folder.path()));
        core->load();
        core->options().loadini();
        core->recorder().initbass();
    }
    QStringList files(const QString& pattern) const {
        return QDir(folder.path()).entryList({pattern}, QDir::Files);
    }

    QTemporaryDir folder;
    std::optional<RadioCore> core;
};

}  // namespace

TEST_F(Core, QuittingEndsTheRecordingAndEncodesItBeforeThePlayerClosesAndSavesTheRest) {
    core->table().moveTo(1);
    core->rowSelection();
    core->playback().playCommand();
    player.state = MediaPlayer::kPlaying;
    core->recorder().ToolButton8Click();
    ASSERT_TRUE(core->recorder().recording());
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    core->fields().armedFinishAction = QStringLiteral("关机");  // a task's, still armed
    core->presets().setCaption(2, QStringLiteral("Beta"));
    for (const char* name : {"update.xml", "updatedb.xml", "update.cds"})
        ASSERT_TRUE(writeFile(folder.filePath(QLatin1String(name)), "x"));

    // A task of Alpha's and the daily shut-down fall due while the recordings are saved.
    core->table().moveTo(0);
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = {},
                        .start = clock.at.addSecs(5),
                        .end = clock.at.addSecs(65),
                        .finishAction = {}},
                       0);
    core->options().mission = true;
    core->options().time = clock.at.addSecs(5).time();
    core->powerTimer().Timer4Timer();
    core->tick();

    int waits = 0;
    EXPECT_TRUE(core->quit([&] {
        ++waits;
        EXPECT_TRUE(core->ending());
        EXPECT_FALSE(capture.active);                                  // the capture stopped first
        EXPECT_FALSE(player.calls.contains(QStringLiteral("Close")));  // the player still plays
        EXPECT_FALSE(core->quit());  // "退出" again while waiting does nothing
        clock.advanceMsecs(5000);
        core->tick();
        core->powerTimer().Timer4Timer();
        EXPECT_FALSE(capture.active);  // neither starts a recording nor arms an action
        EXPECT_FALSE(player.calls.contains(QStringLiteral("URL=http://h/Alpha")));
        core->encoder().pipeline().waitForDone();
    }));
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(files(QStringLiteral("*.mp3")).size(), 1);  // encoded whole, the WAV gone
    EXPECT_TRUE(files(QStringLiteral("*.wav")).isEmpty());
    EXPECT_TRUE(power.calls.isEmpty());  // quitting is not switching the computer off
    EXPECT_EQ(player.calls.mid(player.calls.size() - 2),
              (QStringList{QStringLiteral("Stop"), QStringLiteral("Close")}));
    EXPECT_TRUE(readFile(folder.filePath(QStringLiteral("channel.ini"))).contains("2=Beta"));
    for (const char* name : {"update.xml", "updatedb.xml", "update.cds"})
        EXPECT_FALSE(QFile::exists(folder.filePath(QLatin1String(name)))) << name;
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // Without a window to wait in, the core waits by itself.
    player.state = MediaPlayer::kPlaying;
    core->recorder().ToolButton8Click();
    ASSERT_TRUE(core->recorder().recording());
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    EXPECT_TRUE(core->quit());
    EXPECT_EQ(files(QStringLiteral("*.mp3")).size(), 2);
    EXPECT_TRUE(files(QStringLiteral("*.wav")).isEmpty());
    EXPECT_EQ(player.calls.last(), QStringLiteral("Close"));
}

TEST_F(Core, TheComputerStaysAwakeForTasksAndRecordingsButNotForItsPowerAction) {
    core->table().moveTo(1);
    core->rowSelection();
    core->playback().playCommand();
    player.state = MediaPlayer::kPlaying;
    core->recorder().ToolButton8Click();
    EXPECT_TRUE(power.awake);
    EXPECT_FALSE(power.awakeWhy.isEmpty());
    core->recorder().ToolButton8Click();
    EXPECT_TRUE(power.awake);  // while it is encoded
    core->encoder().pipeline().waitForDone();
    EXPECT_FALSE(power.awake);

    // A task eleven minutes ahead keeps nothing awake yet.
    core->table().moveTo(0);
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("定时播放"),
                        .period = {},
                        .start = clock.at.addSecs(660),
                        .end = clock.at.addSecs(700),
                        .finishAction = {}},
                       0);
    core->tick();
    EXPECT_FALSE(power.awake);

    // A task plays and records for two seconds, then the computer goes to standby.
    core->table().moveTo(0);
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = {},
                        .start = clock.at.addSecs(1),
                        .end = clock.at.addSecs(3),
                        .finishAction = QStringLiteral("待机")},
                       0);
    core->tick();
    EXPECT_TRUE(power.awake && !power.fromSleep);  // a task within ten minutes: no idle suspend
    clock.advanceMsecs(1000);
    core->tick();
    ASSERT_TRUE(core->recorder().recording());
    EXPECT_TRUE(power.fromSleep);
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    for (int i = 0; i < 10 && core->recorder().recording(); ++i) {
        clock.advanceMsecs(1000);
        core->recorder().Timer5Timer();
        core->runner().Timer3Timer();
    }
    EXPECT_FALSE(core->recorder().recording());
    core->encoder().pipeline().waitForDone();
    EXPECT_EQ(power.calls, QStringList{"Suspend"});
    EXPECT_EQ(power.awakeAtAction, QList<bool>{false});  // released first: it would block it

    // A task that only plays holds it too, until the user stops it.
    core->plans().save({.name = QStringLiteral("Beta"),
                        .kind = QStringLiteral("定时播放"),
                        .period = {},
                        .start = clock.at.addSecs(1),
                        .end = clock.at.addSecs(60),
                        .finishAction = {}},
                       1);
    clock.advanceMsecs(1000);
    core->tick();
    EXPECT_TRUE(power.awake);
    core->playback().stopCommand();
    EXPECT_FALSE(power.awake);
}

TEST_F(Core, ATaskThatRecordedNothingSaysSoAndTheNextStartTellsWhatHappenedWhileOff) {
    QStringList balloons;
    QObject::connect(&*core, &RadioCore::balloonRequested,
                     [&](const QString&, const QString& text, bool) { balloons << text; });
    core->plans().save({.name = QStringLiteral("Beta"),
                        .kind = QStringLiteral("定时播放"),
                        .period = {},
                        .start = QDateTime(clock.at.date(), QTime(20, 0)),
                        .end = QDateTime(clock.at.date(), QTime(21, 0)),
                        .finishAction = {}},
                       1);
    // A task records a station that never sends, then shuts the computer down.
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = {},
                        .start = clock.at.addSecs(1),
                        .end = clock.at.addSecs(4),
                        .finishAction = QStringLiteral("关机")},
                       0);
    for (int s = 0; s < 6 && !power.calls.contains(QStringLiteral("PowerOff")); ++s) {
        core->tick();
        core->runner().Timer3Timer();
        core->recorder().Timer5Timer();
        clock.advanceMsecs(1000);
    }
    EXPECT_EQ(power.calls, QStringList{"PowerOff"});
    EXPECT_TRUE(files(QStringLiteral("*.wav")).isEmpty());
    EXPECT_TRUE(files(QStringLiteral("*.mp3")).isEmpty());
    EXPECT_TRUE(balloons.contains(QStringLiteral("Alpha：电台无法连接，未录音")));

    // The next day: what the computer went off after, and the tasks that fell due, once.
    core.reset();
    clock.advanceMsecs(24 * 3600 * 1000);
    const qsizetype shown = dialogs.shown.size();
    core.emplace(folder.path(), coreServices(folder.path()));
    core->load();
    core->reportAbsence();
    core->reportAbsence();
    ASSERT_EQ(dialogs.shown.size(), shown + 1);
    EXPECT_EQ(dialogs.shown.last().text,
              QStringLiteral("Alpha：电台无法连接，未录音\n"
                             "以下定时任务在程序未运行或电脑休眠时错过了：\n"
                             "2026-12-09 20:00 定时播放 Beta\n"
                             "2026-12-10 12:00 播放并录音 Alpha"));
    core.emplace(folder.path(), coreServices(folder.path()));
    core->load();
    core->reportAbsence();
    EXPECT_EQ(dialogs.shown.size(), shown + 1);  // nothing left to tell
}

TEST_F(Core, TheComputerIsWokenAMinuteBeforeTheNextTaskWhereTheSystemLetsIt) {
    core->tick();
    EXPECT_FALSE(waker.armed.isValid());  // no task, no wake-up
    const QDate today = clock.at.date();  // a Wednesday, 12:00
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = {},
                        .start = QDateTime(today, QTime(20, 0)),
                        .end = QDateTime(today, QTime(21, 0)),
                        .finishAction = {}},
                       0);
    EXPECT_EQ(waker.armed, QDateTime(today, QTime(19, 59)));
    // Past it, the next day's; a weekly task on Fridays, then.
    clock.advanceMsecs(9 * 3600 * 1000);
    core->tick();
    EXPECT_EQ(waker.armed, QDateTime(today.addDays(1), QTime(19, 59)));
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = QStringLiteral("星期五"),
                        .start = QDateTime(today, QTime(20, 0)),
                        .end = QDateTime(today, QTime(21, 0)),
                        .finishAction = {}},
                       0);
    EXPECT_EQ(waker.armed, QDateTime(today.addDays(2), QTime(19, 59)));
    EXPECT_EQ(core->wakeNote(), QString());
    waker.allowed = false;
    EXPECT_EQ(core->wakeNote(), QStringLiteral("本机不能自动唤醒电脑，任务开始时须保持开机。"));
}

TEST_F(Core, ARecordingTaskEndsOneMadeByHandAndItsPowerActionWaitsForItsOwn) {
    core->table().moveTo(1);
    core->rowSelection();
    core->playback().playCommand();
    player.state = MediaPlayer::kPlaying;
    core->recorder().ToolButton8Click();
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    core->recorder().Timer5Timer();
    core->plans().save({.name = QStringLiteral("Alpha"),
                        .kind = QStringLiteral("播放并录音"),
                        .period = {},
                        .start = clock.at.addSecs(1),
                        .end = clock.at.addSecs(4),
                        .finishAction = QStringLiteral("待机")},
                       0);
    clock.advanceMsecs(1000);
    core->tick();
    ASSERT_TRUE(core->recorder().recording());  // the task's, not stopped by it
    core->encoder().pipeline().waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(files(QStringLiteral("Beta - *.mp3")).size(), 1);  // the one by hand, saved
    EXPECT_TRUE(power.calls.isEmpty());                          // not the task's standby yet
    player.state = MediaPlayer::kPlaying;
    for (int i = 0; i < 6 && core->recorder().recording(); ++i) {
        capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x02'));
        clock.advanceMsecs(1000);
        core->tick();
        core->recorder().Timer5Timer();
        core->runner().Timer3Timer();
    }
    core->encoder().pipeline().waitForDone();
    EXPECT_EQ(files(QStringLiteral("Alpha - *.mp3")).size(), 1);
    EXPECT_EQ(power.calls, QStringList{"Suspend"});
}
