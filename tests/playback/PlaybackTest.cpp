// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/ProcessKiller.h"
#include "playback/Playback.h"
#include "playback/StatusMonitor.h"
#include "playback/StreamKeeper.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeServices.h"
#include "support/FakeTimeSource.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class RecordingKiller : public ProcessKiller {
  public:
    int killByName(const QStringList& names) override {
        asked << names;
        return 0;
    }
    QList<QStringList> asked;
};

class PlaybackFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"Alpha", "Beta", "Gamma"})
            table.append(StationRow::station(
                QString::fromLatin1(name), QStringLiteral("美国"), QStringLiteral("新闻"),
                QString(), QStringLiteral("http://h/") + QString::fromLatin1(name)));
        table.setFilter(ViewFilter::all());
    }
    void click(int position) {
        table.moveTo(position);
        playback.rowSelected();
    }

    StationTable table{QStringLiteral("/nonexistent/rd.cds")};
    FakeMediaPlayer player;
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    RecordingKiller killer;
    QList<bool> statusTimer;
    int countdownStops = 0;
    int rootShown = 0;
    WindowFields fields;
    Playback playback{player,
                      table,
                      options,
                      dialogs,
                      killer,
                      fields,
                      {.statusTimer = [this](bool on) { statusTimer << on; },
                       .stopTaskCountdown = [this] { ++countdownStops; },
                       .showAllStations = [this] { ++rootShown; }}};
};

}  // namespace

TEST_F(PlaybackFixture, PlayStopAndPlayAgainReplayTheStoppedAddress) {
    click(1);
    EXPECT_EQ(fields.title3, QStringLiteral("Beta"));
    EXPECT_EQ(fields.title, QStringLiteral("http://h/Beta"));
    playback.playCommand();
    EXPECT_EQ(player.calls, (QStringList{"Stop", "URL=http://h/Beta", "Play"}));
    EXPECT_EQ(fields.title2, QStringLiteral("Beta"));
    EXPECT_EQ(fields.playSource, PlaySource::Command);
    EXPECT_EQ(statusTimer, QList<bool>{true});

    playback.stopCommand();
    EXPECT_TRUE(fields.flag);
    EXPECT_EQ(fields.title1, QStringLiteral("http://h/Beta"));
    EXPECT_EQ(statusTimer.last(), false);
    EXPECT_EQ(countdownStops, 1);

    // Arrow keys move the current row without a click: the stopped address plays, the name
    // comes from the current row.
    table.moveTo(2);
    player.calls.clear();
    playback.playCommand();
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Beta"));
    EXPECT_EQ(fields.title2, QStringLiteral("Gamma"));

    click(0);  // a click ends the replay
    EXPECT_FALSE(fields.flag);
    playback.playCommand();
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Alpha"));
}

TEST_F(PlaybackFixture, StopWithNothingLoadedKeepsTheOldAddress) {
    click(0);
    playback.stopCommand();  // playState 0
    EXPECT_TRUE(fields.flag);
    EXPECT_EQ(fields.title1, QString());
    EXPECT_EQ(player.calls, QStringList());
    playback.playCommand();
    EXPECT_EQ(player.URL(), QString());  // the empty title1, as before any stop with a medium
}

TEST_F(PlaybackFixture, OfflinePlayCommandSaysSoButADoubleClickPlays) {
    click(2);
    player.online = false;
    playback.playCommand();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("播放错误，请查看是否系统已联网，或关闭迅雷等下载软件后再试！"));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::error);
    EXPECT_EQ(player.calls, QStringList{"Stop"});
    EXPECT_EQ(fields.title2, QString());
    EXPECT_EQ(fields.playSource, PlaySource::None);
    EXPECT_TRUE(statusTimer.isEmpty());

    playback.doubleClick();
    EXPECT_EQ(player.calls.mid(1), (QStringList{"Stop", "URL=http://h/Gamma", "Play"}));
    EXPECT_EQ(fields.title4, QStringLiteral("Gamma"));
    EXPECT_EQ(fields.title2, QStringLiteral("Gamma"));
    EXPECT_EQ(fields.playSource, PlaySource::DoubleClick);
}

TEST_F(PlaybackFixture, PlayStationByNameMatchesTheWholeNameWithCase) {
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("G")));
    playback.PlayStationByName(QStringLiteral("Beta"));
    EXPECT_EQ(rootShown, 1);
    EXPECT_EQ(table.viewCount(), 3);  // the filter is gone
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Beta"));
    EXPECT_EQ(fields.title3, QStringLiteral("Beta"));
    EXPECT_EQ(fields.playSource, PlaySource::Command);

    playback.PlayStationByName(QStringLiteral("beta"));  // case differs: the first row plays
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Alpha"));
}

TEST_F(PlaybackFixture, DownloadToolsEndOnlyWhenTheOptionSaysSo) {
    click(0);
    playback.playCommand();
    EXPECT_TRUE(killer.asked.isEmpty());
    options.close = true;
    playback.playCommand();
    playback.doubleClick();
    ASSERT_EQ(killer.asked.size(), 2);
    EXPECT_EQ(killer.asked[0],
              (QStringList{"Thunder.exe", "Flashget3.exe", "QQDownload.exe", "MiniThunder.exe"}));
}

TEST_F(PlaybackFixture, StatusLinesFollowThePlayerEachTick) {
    FakeTimeSource clock;
    StreamKeeper kept(player, clock);
    StatusMonitor monitor(kept, fields);
    monitor.Timer2Timer();  // nothing played yet: nothing shown
    EXPECT_EQ(monitor.display().panel0, QString());

    click(0);
    playback.playCommand();
    player.state = MediaPlayer::kPlaying;
    player.position = QStringLiteral("01:05");
    monitor.Timer2Timer();
    EXPECT_EQ(monitor.display().panel0, QStringLiteral("正在播放:  Alpha"));
    EXPECT_EQ(monitor.display().panel1, QStringLiteral("已播放: 01:05"));
    EXPECT_EQ(monitor.display().trayImage, 0);
    EXPECT_EQ(monitor.display().tooltip, QString());  // the empty header caption

    player.duration = QStringLiteral("03:20");  // a finite recording
    monitor.Timer2Timer();
    EXPECT_EQ(monitor.display().panel1, QStringLiteral("已播放: 01:05 - 当前电台可能非全时段播放"));

    click(1);  // the name follows the selection
    player.muted = true;
    monitor.Timer2Timer();
    EXPECT_EQ(monitor.display().panel0, QStringLiteral("正在播放:  Beta - 静音"));
    EXPECT_EQ(monitor.display().trayImage, 1);
    EXPECT_EQ(monitor.display().tooltip, QStringLiteral("正在播放:  Beta - 静音"));

    // Buffering at 45 % while muted: the buffering line wins, the tooltip keeps the mute line.
    player.state = MediaPlayer::kBuffering;
    player.buffering = 45;
    player.playerStatus = MediaPlayer::Status::buffering;
    monitor.Timer2Timer();
    EXPECT_EQ(monitor.display().panel0, QStringLiteral("正在缓冲 45%   Beta"));
    EXPECT_EQ(monitor.display().panel1, QString());
    EXPECT_EQ(monitor.display().tooltip, QStringLiteral("正在缓冲:  Beta - 静音"));

    // A longer state text shows its first four characters, and the double-click name.
    player.muted = false;
    player.state = MediaPlayer::kPlaying;
    player.playerStatus = MediaPlayer::Status::noAudioOutput;
    playback.doubleClick();
    monitor.Timer2Timer();
    EXPECT_EQ(monitor.display().panel0, QStringLiteral("没有声音:  Beta"));
}

TEST_F(PlaybackFixture, TheStatusLineNamesEachStateOfThePlayer) {
    FakeTimeSource clock;
    StreamKeeper kept(player, clock);
    StatusMonitor monitor(kept, fields);
    click(0);
    playback.playCommand();
    player.state = MediaPlayer::kStopped;
    const std::pair<MediaPlayer::Status, QString> shown[] = {
        {MediaPlayer::Status::ready, QStringLiteral("准备就绪")},
        {MediaPlayer::Status::connecting, QStringLiteral("正在连接")},
        {MediaPlayer::Status::buffering, QStringLiteral("正在缓冲")},
        {MediaPlayer::Status::playing, QStringLiteral("正在播放")},
        {MediaPlayer::Status::paused, QStringLiteral("已经暂停")},
        {MediaPlayer::Status::stopped, QStringLiteral("已经停止")},
        {MediaPlayer::Status::ended, QStringLiteral("播放结束")},
        {MediaPlayer::Status::failed, QStringLiteral("播放出错")},
        {MediaPlayer::Status::noAudioOutput, QStringLiteral("没有声音")},
    };
    for (const auto& [status, text] : shown) {
        player.playerStatus = status;
        monitor.Timer2Timer();
        EXPECT_EQ(monitor.display().panel0, text + QStringLiteral(":  Alpha"));
    }
}

TEST(KillDownloadTools, ThePlayCommandEndsExactlyNamedToolsFirst) {
    QTemporaryDir dir;
    const auto startCopyOfSleep = [&](const QString& name) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        auto* p = new QProcess;
        p->start(path, {QStringLiteral("60")});
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    };
    std::unique_ptr<QProcess> tool(startCopyOfSleep(QStringLiteral("Thunder.exe")));
    std::unique_ptr<QProcess> lower(startCopyOfSleep(QStringLiteral("thunder.exe")));

    StationTable table(dir.filePath(QStringLiteral("rd.cds")));
    table.append(
        StationRow::station(QStringLiteral("A"), {}, {}, {}, QStringLiteral("http://h/a")));
    FakeMediaPlayer player;
    OptionsStore options(dir.filePath(QStringLiteral("option.ini")));
    options.close = true;
    FakeDialogs dialogs;
    ProcProcessKiller killer;
    WindowFields fields;
    Playback playback(
        player, table, options, dialogs, killer, fields,
        {.statusTimer = [](bool) {}, .stopTaskCountdown = [] {}, .showAllStations = [] {}});
    playback.rowSelected();
    playback.playCommand();

    EXPECT_TRUE(tool->waitForFinished(5000));
    EXPECT_EQ(tool->exitStatus(), QProcess::CrashExit);  // killed
    EXPECT_FALSE(lower->waitForFinished(300));           // "thunder.exe" keeps running
    EXPECT_EQ(player.calls.last(), QStringLiteral("Play"));
    lower->kill();
    lower->waitForFinished(5000);
}

TEST(StreamKeeperTest, ALostStreamIsPlayedAgainUntilItReturnsIsStoppedOrTheTimeIsUp) {
    FakeMediaPlayer player;
    FakeTimeSource clock;
    FakeSoundServer sound;
    StreamKeeper kept(player, clock, &sound);
    WindowFields fields;
    fields.playSource = PlaySource::Command;
    fields.title3 = QStringLiteral("Beta");
    StatusMonitor monitor(kept, fields);
    const auto line = [&] {
        monitor.Timer2Timer();
        return monitor.display().panel0;
    };
    // A second passes; the stream plays (its position moves) or the server refuses every try.
    const auto second = [&](bool plays) {
        clock.advanceMsecs(1000);
        if (plays) {
            player.state = MediaPlayer::kPlaying;
            player.positionMs += 1000;
        } else if (player.state != MediaPlayer::kStopped) {
            player.state = MediaPlayer::kUndefined;
        }
        kept.tick();
    };
    const auto plays = [&] { return int(player.calls.count(QStringLiteral("Play"))); };
    kept.setURL(QStringLiteral("http://127.0.0.1:1/list.m3u"));
    kept.Play();
    for (int i = 0; i < 5; ++i)
        second(true);
    EXPECT_TRUE(kept.soundFlows());
    EXPECT_EQ(plays(), 1);
    // The sound server restarted: a fresh output, once, and no stall while the stream restarts.
    ++sound.comebacks;
    kept.tick();
    kept.tick();
    EXPECT_EQ(player.calls.count(QStringLiteral("reopenAudioOutput")), 1);

    // The server drops: each try is refused, and the pause before the next grows to 30 s.
    QList<int> triedAt;
    player.state = MediaPlayer::kEnded;
    kept.tick();
    EXPECT_EQ(kept.playState(), MediaPlayer::kTransitioning);
    EXPECT_FALSE(kept.soundFlows());
    EXPECT_EQ(line(), QStringLiteral("正在重新连接: Beta (第1次)"));
    for (int s = 1; s <= 100; ++s) {
        const int before = plays();
        second(false);
        if (plays() > before)
            triedAt << s;
    }
    EXPECT_EQ(triedAt, (QList<int>{1, 4, 9, 18, 34, 65, 96}));
    EXPECT_EQ(line(), QStringLiteral("正在重新连接: Beta (第8次)"));
    EXPECT_EQ(player.URL(), QStringLiteral("http://127.0.0.1:1/list.m3u"));  // fetched again
    // The server is back: the next try, 31 s after the last, finds it.
    for (int s = 0, before = plays(); s < 40 && plays() == before; ++s)
        second(false);
    second(true);
    second(true);
    EXPECT_TRUE(kept.soundFlows());
    EXPECT_EQ(kept.attempt(), 0);
    EXPECT_EQ(kept.lastOutage(), 129'000);
    player.playerStatus = MediaPlayer::Status::playing;
    EXPECT_EQ(line(), QStringLiteral("正在播放:  Beta"));

    // A stall: the server sends nothing, the position stands for 10 s.
    const int beforeStall = plays();
    for (int s = 0; s < 10; ++s) {
        clock.advanceMsecs(1000);
        kept.tick();
    }
    EXPECT_EQ(kept.attempt(), 1);
    EXPECT_EQ(plays(), beforeStall);
    // The user's Stop ends the retries at once.
    kept.Stop();
    for (int s = 0; s < 60; ++s)
        second(false);
    EXPECT_EQ(plays(), beforeStall);

    // After a hand-started play it gives up five minutes after the loss, and says why.
    kept.Play();
    second(true);
    player.state = MediaPlayer::kUndefined;
    for (int s = 0; s < 400 && kept.gaveUp().isEmpty(); ++s)
        second(false);
    EXPECT_EQ(line(), QStringLiteral("无法重新连接: Beta（电台无法连接）"));
    EXPECT_EQ(player.calls.last(), QStringLiteral("Stop"));

    // A task's stream is kept to the task's end, however long.
    kept.Play();
    kept.keepUntil(clock.monotonicMsecs() + 3'600'000);
    second(true);
    player.state = MediaPlayer::kUndefined;
    for (int s = 0; s < 3'000; ++s)
        second(false);
    EXPECT_TRUE(kept.gaveUp().isEmpty());
    EXPECT_GT(kept.attempt(), 90);
    for (int s = 0; s < 700 && kept.gaveUp().isEmpty(); ++s)
        second(false);
    EXPECT_EQ(kept.gaveUp(), QStringLiteral("电台无法连接"));
}
