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
