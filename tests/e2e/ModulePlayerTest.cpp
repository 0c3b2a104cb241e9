// SPDX-License-Identifier: GPL-3.0-or-later
// The program's player, whose module (and libvlc) loads at the first play.
#include "platform/ModulePlayer.h"
#include "playback/PlaybackTexts.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

bool moduleLoaded() {
    return readFile(QStringLiteral("/proc/self/maps")).contains("libcorvinatone-player");
}

// The module as built, for the time of a test.
class WithModule {
  public:
    explicit WithModule(const QString& file) {
        qputenv("CORVINATONE_PLAYER_MODULE", QFile::encodeName(file));
    }
    ~WithModule() { qunsetenv("CORVINATONE_PLAYER_MODULE"); }
};

}  // namespace

TEST(ModulePlayer, AnswersAsIdleUntilTheFirstPlayAndAMissingModuleFailsThePlay) {
    const WithModule missing(QStringLiteral("/nonexistent/libcorvinatone-player.so"));
    ModulePlayer player({QStringLiteral("--aout=dummy")});
    player.setURL(QStringLiteral("http://127.0.0.1:9/live"));
    player.setVolume(130);
    player.setMute(true);
    player.Stop();
    player.Close();
    EXPECT_EQ(player.Volume(), 100);
    EXPECT_TRUE(player.Mute());
    EXPECT_EQ(player.URL(), QStringLiteral("http://127.0.0.1:9/live"));
    EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
    EXPECT_EQ(PlaybackTexts::playerStatus(player.status()), QStringLiteral("准备就绪"));
    EXPECT_EQ(player.PositionText(), QStringLiteral("00:00"));
    EXPECT_EQ(player.DurationText(), QStringLiteral("00:00"));
    for (int attempt = 0; attempt < 2; ++attempt) {  // each play tries again
        try {
            player.Play();
            ADD_FAILURE() << "played without its module";
        } catch (const MediaPlayerError& e) {
            EXPECT_NE(std::string(e.what()).find("libcorvinatone-player.so"), std::string::npos)
                << e.what();
        }
    }
}

TEST(ModulePlayer, TheModulePlaysWithWhatWasGivenBeforeAndABrokenLibvlcFailsThePlay) {
    const WithModule built(QStringLiteral(CORVINATONE_PLAYER_MODULE_FILE));
    {
        ModulePlayer broken({QStringLiteral("--no-such-option-anywhere")});
        EXPECT_THROW(broken.Play(), MediaPlayerError);  // thrown in the module, caught here
    }
    LoopbackHttpServer server;
    server.addStream("/live.mp3");
    ModulePlayer player({QStringLiteral("--aout=dummy")});
    player.setURL(server.url("/live.mp3"));
    player.setVolume(30);
    player.setMute(true);
    player.Play();
    EXPECT_TRUE(moduleLoaded());
    EXPECT_EQ(player.Volume(), 30);
    EXPECT_TRUE(player.Mute());
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000))
        << PlaybackTexts::playerStatus(player.status()).toStdString();
    EXPECT_EQ(PlaybackTexts::playerStatus(player.status()), QStringLiteral("正在播放"));
    player.Stop();
    EXPECT_EQ(player.playState(), MediaPlayer::kStopped);
}
