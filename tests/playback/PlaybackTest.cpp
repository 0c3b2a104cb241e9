// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/ProcessKiller.h"
#include "playback/Playback.h"
#include "playback/StatusMonitor.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
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
    StatusMonitor monitor(player, fields);
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
    StatusMonitor monitor(player, fields);
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
