// SPDX-License-Identifier: GPL-3.0-or-later
// The real player on streams served over loopback by the test itself.
#include "platform/VlcMediaPlayer.h"
#include "playback/PlaybackTexts.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

int seconds(const QString& position) {
    const QStringList parts = position.split(u':');
    int total = 0;
    for (const QString& p : parts)
        total = total * 60 + p.toInt();
    return total;
}

class VlcPlayer : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addStream("/live.mp3");
        const std::string live = server.url("/live.mp3").toStdString();
        server.addFile("/list.m3u", "audio/x-mpegurl",
                       "#EXTM3U\n#EXTINF:-1,Loopback\n" + live + "\n");
        server.addFile(
            "/list.pls", "audio/x-scpls",
            "[playlist]\nNumberOfEntries=1\nFile1=" + live + "\nTitle1=Loopback\nVersion=2\n");
        server.addFile("/list.asx", "video/x-ms-asf",
                       "<asx version=\"3.0\"><entry><title>Loopback</title><ref href=\"" + live +
                           "\"/></entry></asx>\n");
    }

    // Plays the address until the player says it plays, then checks a live stream's display.
    void expectLivePlay(const QString& url) {
        player.setURL(url);
        player.Play();
        ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000))
            << url.toStdString() << " ended in state " << player.playState() << ", "
            << PlaybackTexts::playerStatus(player.status()).toStdString();
        EXPECT_EQ(PlaybackTexts::playerStatus(player.status()), QStringLiteral("正在播放"));
        EXPECT_EQ(player.DurationText(), QStringLiteral("00:00"));
        EXPECT_EQ(player.BufferingProgress(), 100);
        const int start = seconds(player.PositionText());
        EXPECT_TRUE(waitFor([&] { return seconds(player.PositionText()) >= start + 2; }, 10000))
            << player.PositionText().toStdString();
        player.Stop();
        EXPECT_EQ(player.playState(), MediaPlayer::kStopped);
        EXPECT_EQ(PlaybackTexts::playerStatus(player.status()), QStringLiteral("已经停止"));
    }

    LoopbackHttpServer server;
    VlcMediaPlayer player{{QStringLiteral("--aout=dummy")}};
};

}  // namespace

TEST_F(VlcPlayer, PlaysAnEndlessStreamDirectlyAndThroughEachPlaylistKind) {
    EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
    EXPECT_EQ(player.Volume(), 50);
    EXPECT_FALSE(player.Mute());
    expectLivePlay(server.url("/live.mp3"));
    expectLivePlay(server.url("/list.m3u"));
    expectLivePlay(server.url("/list.pls"));
    expectLivePlay(server.url("/list.asx"));
}

TEST_F(VlcPlayer, ReadsWhatTheStationSaysItPlaysAlsoThroughAPlaylist) {
    server.addStream("/icy.mp3", LoopbackHttpServer::silentMp3Frame(), "歌手 - 一首歌");
    server.addFile("/icy.pls", "audio/x-scpls",
                   "[playlist]\nNumberOfEntries=1\nFile1=" + server.url("/icy.mp3").toStdString() +
                       "\nVersion=2\n");
    // A title with line breaks and no end is one line of bounded length.
    server.addStream("/long.mp3", LoopbackHttpServer::silentMp3Frame(),
                     "first\nsecond\t" + std::string(600, 'x'));
    for (const char* path : {"/icy.mp3", "/icy.pls"}) {
        player.setURL(server.url(path));
        player.Play();
        EXPECT_TRUE(
            waitFor([&] { return player.nowPlaying() == QStringLiteral("歌手 - 一首歌"); }, 20000))
            << path << ": " << player.nowPlaying().toStdString();
        player.Stop();
        EXPECT_EQ(player.nowPlaying(), QString());  // nothing plays, nothing is named
    }
    player.setURL(server.url("/long.mp3"));
    player.Play();
    EXPECT_TRUE(waitFor([&] { return !player.nowPlaying().isEmpty(); }, 20000));
    EXPECT_EQ(player.nowPlaying(), (QStringLiteral("first second ") + QString(600, u'x'))
                                       .left(VlcMediaPlayer::kMaxTitleLength));
    // A stream without a title says nothing.
    player.setURL(server.url("/live.mp3"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000));
    EXPECT_EQ(player.nowPlaying(), QString());
}

TEST_F(VlcPlayer, AnUnreachableAddressEndsAsAFailureNotAHang) {
    player.setURL(QStringLiteral("http://127.0.0.1:1/none.mp3"));
    player.Play();
    EXPECT_TRUE(waitFor([&] { return player.status() == MediaPlayer::Status::failed; }, 20000))
        << PlaybackTexts::playerStatus(player.status()).toStdString();
    const int state = player.playState();
    EXPECT_FALSE(state >= 1 && state <= 10) << state;  // no medium loaded

    // A missing file on a server that answers fails the same way.
    player.setURL(server.url("/missing.mp3"));
    player.Play();
    EXPECT_TRUE(waitFor([&] { return player.status() == MediaPlayer::Status::failed; }, 20000))
        << PlaybackTexts::playerStatus(player.status()).toStdString();
}

TEST_F(VlcPlayer, APlaylistThatLeadsBackToItselfEndsAsAFailure) {
    server.addFile("/self.m3u", "audio/x-mpegurl", server.url("/self.m3u").toStdString() + "\n");
    player.setURL(server.url("/self.m3u"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.status() == MediaPlayer::Status::failed; }, 10000))
        << PlaybackTexts::playerStatus(player.status()).toStdString() << " after "
        << server.requests() << " requests";
    EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
    waitFor([] { return false; }, 1000);  // a fetch already under way may still arrive
    const int fetched = server.requests();
    // A few levels (libvlc probes some twice while the stop is on its way), not 150 a second.
    EXPECT_LE(fetched, 30);
    waitFor([] { return false; }, 1500);
    EXPECT_EQ(server.requests(), fetched);  // and then no more

    // Nesting within the limit still plays, and the player is usable again.
    server.addFile("/outer.m3u", "audio/x-mpegurl", server.url("/list.m3u").toStdString() + "\n");
    expectLivePlay(server.url("/outer.m3u"));
}

TEST_F(VlcPlayer, ClampsTheVolumeAndClosesTheMedium) {
    player.setVolume(130);
    EXPECT_EQ(player.Volume(), 100);
    player.setVolume(-5);
    EXPECT_EQ(player.Volume(), 0);
    player.setURL(server.url("/live.mp3"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000));
    player.Close();
    EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
}

TEST_F(VlcPlayer, SendsTheProgramsUserAgent) {
    player.setURL(server.url("/live.mp3"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000));
    EXPECT_NE(server.lastRequest().find("User-Agent: Corvinatone/2.21 LibVLC"), std::string::npos)
        << server.lastRequest();
}

TEST(VlcPlayerOutput, SaysSoWhenNoAudioOutputCanBeOpened) {
    LoopbackHttpServer server;
    server.addStream("/live.mp3");
    VlcMediaPlayer player({QStringLiteral("--aout=alsa"),
                           QStringLiteral("--alsa-audio-device=corvinatone-no-such-device")});
    player.setURL(server.url("/live.mp3"));
    player.Play();
    EXPECT_TRUE(
        waitFor([&] { return player.status() == MediaPlayer::Status::noAudioOutput; }, 20000))
        << PlaybackTexts::playerStatus(player.status()).toStdString();
}

TEST(VlcPlayerCreation, FailsWithAReasonWhenLibvlcCannotStart) {
    EXPECT_THROW(VlcMediaPlayer({QStringLiteral("--no-such-option-anywhere")}), MediaPlayerError);
}

TEST(VlcPlayerText, FormatsElapsedTime) {
    EXPECT_EQ(VlcMediaPlayer::formatTime(-1), QStringLiteral("00:00"));
    EXPECT_EQ(VlcMediaPlayer::formatTime(59'999), QStringLiteral("00:59"));
    EXPECT_EQ(VlcMediaPlayer::formatTime(3'599'000), QStringLiteral("59:59"));
    EXPECT_EQ(VlcMediaPlayer::formatTime(3'600'000), QStringLiteral("1:00:00"));
    EXPECT_EQ(VlcMediaPlayer::formatTime(36'061'000), QStringLiteral("10:01:01"));
}
