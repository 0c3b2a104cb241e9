// SPDX-License-Identifier: GPL-3.0-or-later
// What the sound server gets from the real player: the stream's name, icon and role as the
// desktop's mixer shows them, its volume and mute, and the level captured from the null sink's
// monitor (PulseAudio of scripts/with-test-services); and both after the sound server restarts
// (a PulseAudio of the test's own).
#include "platform/PulseCaptureDevice.h"
#include "platform/SoundServer.h"
#include "platform/TimeSource.h"
#include "platform/VlcMediaPlayer.h"
#include "playback/StreamKeeper.h"
#include "recording/Recorder.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"
#include "support/Tone.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

namespace {

struct SinkInput {
    int volumePercent = -1;  // of the first channel
    bool muted = false;
    QJsonObject properties;
};

// The newest playback stream at the sound server, as `pactl` reads it through libpulse.
std::optional<SinkInput> newestSinkInput() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("-f"), QStringLiteral("json"),
                                          QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000))
        return std::nullopt;
    const QJsonArray inputs = QJsonDocument::fromJson(pactl.readAllStandardOutput()).array();
    if (inputs.isEmpty())
        return std::nullopt;
    const QJsonObject input = inputs.last().toObject();
    const QJsonObject volume = input[QStringLiteral("volume")].toObject();
    SinkInput result;
    if (!volume.isEmpty())
        result.volumePercent = volume.begin()
                                   ->toObject()[QStringLiteral("value_percent")]
                                   .toString()
                                   .chopped(1)
                                   .toInt();
    result.muted = input[QStringLiteral("mute")].toBool();
    result.properties = input[QStringLiteral("properties")].toObject();
    return result;
}

class AtTheSoundServer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            GTEST_SKIP() << "needs the PulseAudio daemon of scripts/with-test-services";
        server.addStream("/tone.mp3", toneMp3(dir));
        ASSERT_TRUE(monitor.init());  // the default sink's monitor is the input chosen
        ASSERT_TRUE(monitor.start([this](const char* data, qsizetype length) {
            std::lock_guard lock(mutex);
            captured.append(data, length);
        }));
    }
    void TearDown() override { monitor.stop(); }

    qsizetype capturedSize() {
        std::lock_guard lock(mutex);
        return captured.size();
    }
    // Lets a change reach the monitor, then measures a second of what it carries.
    double level() {
        waitFor([] { return false; }, 1500);
        const qsizetype from = capturedSize();
        waitFor([] { return false; }, 1000);
        std::lock_guard lock(mutex);
        return rms(captured, from & ~qsizetype(3));
    }
    // The loudest tenth of a second captured between two byte positions.
    double loudestBlock(qsizetype from, qsizetype to) {
        std::lock_guard lock(mutex);
        constexpr qsizetype kBlock = WaveStream::kBytesPerSecond / 10;
        double loudest = 0;
        for (qsizetype at = from & ~qsizetype(3); at + kBlock <= std::min(to, captured.size());
             at += kBlock)
            loudest = std::max(loudest, rms(captured, at, at + kBlock));
        return loudest;
    }
    // Waits for a new playback stream and returns it as first seen.
    std::optional<SinkInput> streamAppears() {
        std::optional<SinkInput> input;
        waitFor([&] { return (input = newestSinkInput()).has_value(); }, 20000);
        return input;
    }

    QTemporaryDir dir;
    LoopbackHttpServer server;
    PulseCaptureDevice monitor;
    std::mutex mutex;
    QByteArray captured;
};

}  // namespace

TEST_F(AtTheSoundServer, TheStreamIsNamedAsTheProgramAndPlaysAtTheVolumeShown) {
    VlcMediaPlayer player;
    player.setVolume(30);
    player.setURL(server.url("/tone.mp3"));
    player.Play();
    std::optional<SinkInput> input = streamAppears();
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->properties[QStringLiteral("application.name")].toString(),
              QStringLiteral("Corvinatone"));
    EXPECT_EQ(input->properties[QStringLiteral("application.id")].toString(),
              QStringLiteral("org.corvinatone.Corvinatone"));
    EXPECT_EQ(input->properties[QStringLiteral("application.icon_name")].toString(),
              QStringLiteral("corvinatone"));
    EXPECT_EQ(input->properties[QStringLiteral("media.role")].toString(), QStringLiteral("music"));

    // The first stream plays at 30 from its first second, not at the output's full level.
    EXPECT_EQ(input->volumePercent, 30);
    // The monitor delivers late: three seconds from here hold the stream's first second.
    const qsizetype opened = capturedSize(), until = opened + 3 * WaveStream::kBytesPerSecond;
    ASSERT_TRUE(waitFor([&] { return capturedSize() >= until; }, 10000));
    const double firstSecond = loudestBlock(opened, until);
    const double at30 = level();
    EXPECT_LT(firstSecond, at30 * 1.5) << "louder at first than at the volume shown";
    EXPECT_GT(firstSecond, at30 * 0.5) << "the stream's start was not captured";
    EXPECT_EQ(newestSinkInput()->volumePercent, 30);
    player.setVolume(80);
    const double at80 = level();
    EXPECT_GT(at30, 20.0) << "nothing was heard";
    EXPECT_GT(at80, 2 * at30);

    player.setMute(true);
    EXPECT_LT(level(), 5.0);
    EXPECT_TRUE(newestSinkInput()->muted);
    player.setMute(false);
    const double unmuted = level();
    EXPECT_NEAR(unmuted, at80, at80 * 0.1) << "the level after unmute differs from before";
    EXPECT_EQ(newestSinkInput()->volumePercent, 80);

    // A later stream, here through a playlist, starts at the volume shown, muted or not.
    player.Stop();
    ASSERT_TRUE(waitFor([] { return !newestSinkInput().has_value(); }, 10000));
    player.setMute(true);
    server.addFile("/tone.m3u", "audio/x-mpegurl", server.url("/tone.mp3").toStdString() + "\n");
    player.setURL(server.url("/tone.m3u"));
    player.Play();
    input = streamAppears();
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->volumePercent, 80);
    EXPECT_TRUE(input->muted);
    EXPECT_LT(level(), 5.0);
    player.setMute(false);
    EXPECT_NEAR(level(), at80, at80 * 0.1);
    std::printf("levels (RMS): first second %.0f, 30 -> %.0f, 80 -> %.0f, after unmute %.0f\n",
                firstSecond, at30, at80, unmuted);
}

namespace {

// A PulseAudio daemon of the test's own, with a null sink, that the test kills and starts again.
class PrivatePulse {
  public:
    explicit PrivatePulse(const QString& folder) : folder_(folder) {
        QDir().mkpath(runtime());
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~PrivatePulse() { kill(); }
    QString server() const { return QStringLiteral("unix:") + runtime() + "/pulse/native"; }
    bool start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), folder_);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.remove(QStringLiteral("PULSE_SERVER"));
        daemon_.setProcessEnvironment(env);
        daemon_.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("-n"), QStringLiteral("--log-target=file:") + folder_ + "/log",
             QStringLiteral("--load=module-native-protocol-unix"),
             QStringLiteral("--load=module-null-sink sink_name=restart_null rate=44100 "
                            "channels=2")});
        return daemon_.waitForStarted(10000) &&
               waitFor(
                   [this] {
                       QProcess pactl;
                       pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
                       return pactl.waitForFinished(2000) && pactl.exitCode() == 0;
                   },
                   15000);
    }
    void kill() {
        daemon_.kill();
        daemon_.waitForFinished(10000);
    }

  private:
    QString runtime() const { return folder_ + "/runtime"; }
    QString folder_;
    QProcess daemon_;
};

}  // namespace

// The sound server restarts mid-play and mid-recording: the player plays on through a fresh
// output at the volume shown, and the capture goes on into the same recording.
TEST(SoundServerRestart, PlayingAndRecordingGoOnAfterTheSoundServerComesBack) {
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        GTEST_SKIP() << "needs PulseAudio, as scripts/with-test-services provides";
    QTemporaryDir dir;
    PrivatePulse pulse(dir.path());
    ASSERT_TRUE(pulse.start());
    const QByteArray sharedServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", pulse.server().toUtf8());  // for libpulse here and pactl
    const auto restore = qScopeGuard([&] { qputenv("PULSE_SERVER", sharedServer); });
    LoopbackHttpServer server;
    server.addStream("/tone.mp3", toneMp3(dir));
    PulseSoundServer watch;
    ASSERT_TRUE(waitFor([&] { return watch.up(); }, 10000));

    VlcMediaPlayer player;
    SystemTimeSource time;
    StreamKeeper kept(player, time, &watch);
    FakeDialogs dialogs;
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    PulseCaptureDevice capture;
    QByteArray image;
    int made = 0;
    Recorder recorder(
        capture, kept, options, dialogs,
        {.progressTimer = [](bool) {},
         .stopTaskCountdown = [] {},
         .progressText = [](const QString&) {},
         .encode = [&] { image = readFile(recorder.waveStream().path()); },
         .newRecordingPath =
             [&] { return dir.filePath(QStringLiteral("recording%1.wav").arg(++made)); },
         .fallbackPath = [](const QString& from) { return from; }});
    QTimer ticks;  // Timer1 and Timer5
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        kept.tick();
        recorder.Timer5Timer();
    });
    ticks.start(1000);

    // What the sink plays, as the test hears it.
    PulseCaptureDevice ears;
    std::mutex mutex;
    QByteArray heard;
    const auto listen = [&] {
        {
            std::lock_guard lock(mutex);
            heard.clear();
        }
        return ears.init() && ears.start([&](const char* data, qsizetype length) {
            std::lock_guard lock(mutex);
            heard.append(data, length);
        });
    };
    const auto lastTenthLevel = [&] {
        std::lock_guard lock(mutex);
        const qsizetype tenth = WaveStream::kBytesPerSecond / 10;
        return heard.size() < tenth ? 0.0 : rms(heard, (heard.size() - tenth) & ~qsizetype(3));
    };
    ASSERT_TRUE(listen());
    kept.setURL(server.url("/tone.mp3"));
    kept.Play();
    ASSERT_TRUE(waitFor([&] { return kept.soundFlows() && lastTenthLevel() > 20; }, 20000));
    recorder.initbass();
    recorder.ToolButton8Click();
    ASSERT_TRUE(recorder.recording());
    waitFor([] { return false; }, 3000);

    pulse.kill();
    ears.stop();
    waitFor([] { return false; }, 2000);
    QElapsedTimer restarted;
    restarted.start();
    ASSERT_TRUE(pulse.start());
    const qint64 serverUp = restarted.elapsed();
    ASSERT_TRUE(waitFor(listen, 10000));
    EXPECT_TRUE(waitFor([&] { return lastTenthLevel() > 20; }, 20000)) << "not heard again";
    const qint64 sound = restarted.elapsed();
    EXPECT_TRUE(waitFor([&] { return watch.returns() == 1; }, 5000));
    const std::optional<SinkInput> input = newestSinkInput();
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->volumePercent, 50);  // the volume shown
    waitFor([] { return false; }, 3000);
    recorder.ToolButton8Click();
    ears.stop();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.first().text.toStdString();
    EXPECT_EQ(recorder.gaps().size(), 1);
    const QByteArray pcm = image.mid(WaveStream::kHeaderSize);
    EXPECT_GT(rms(pcm, 0, WaveStream::kBytesPerSecond), 100.0) << "not recorded before";
    EXPECT_GT(rms(pcm, pcm.size() - WaveStream::kBytesPerSecond), 100.0) << "not recorded again";
    std::printf("sound server restart: up after %lld ms, heard again after %lld ms\n",
                qint64(serverUp), qint64(sound));

    // It restarts again while nothing records: the next recording connects afresh.
    pulse.kill();
    ASSERT_TRUE(pulse.start());
    ASSERT_TRUE(waitFor([&] { return watch.returns() == 2 && kept.soundFlows(); }, 20000));
    recorder.ToolButton8Click();
    EXPECT_TRUE(recorder.recording());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.first().text.toStdString();
    recorder.ToolButton8Click();
}
