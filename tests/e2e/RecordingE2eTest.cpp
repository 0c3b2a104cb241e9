// SPDX-License-Identifier: GPL-3.0-or-later
// The whole recording path with real components: libvlc plays a tone served on loopback into a
// PulseAudio null sink, the capture records the sink's monitor, LAME and FFmpeg encode it, and
// power actions reach logind on a private bus (all started by scripts/with-test-services).
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/PowerActions.h"
#include "platform/PulseCaptureDevice.h"
#include "platform/TimeSource.h"
#include "platform/VlcMediaPlayer.h"
#include "playback/PlaybackTexts.h"
#include "playback/StreamKeeper.h"
#include "recording/Mp3Encoder.h"
#include "recording/Recorder.h"
#include "recording/RecordingEncoder.h"
#include "scheduler/TaskRunner.h"
#include "setting/OptionsStore.h"
#include "support/DbusMockCalls.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeServices.h"
#include "support/LoopbackHttpServer.h"
#include "support/Mp3Frames.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"
#include "support/Tone.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <taglib/tag_c.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <functional>

namespace {

class RealRecording : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            GTEST_SKIP() << "needs the PulseAudio daemon of scripts/with-test-services";
        options.record = records.path();
        table.append(StationRow::station(QStringLiteral("测试电台"), {}, {}, {},
                                         QStringLiteral("http://x")));
        table.setFilter(ViewFilter::all());
    }

    // The methods the logind mock was called with so far.
    static QStringList logindCalls() {
        QStringList names;
        for (const auto& call : dbusMockCalls(QStringLiteral("org.freedesktop.login1"),
                                              QStringLiteral("/org/freedesktop/login1")))
            names << call.first;
        return names;
    }

    // The encoder's services: this fixture's, with the clock given (the computer's by default).
    RecordingEncoder::Services encoding(std::function<QDateTime()> now = [] {
        return QDateTime::currentDateTime();
    }) {
        return {.table = table,
                .options = options,
                .dialogs = dialogs,
                .desktop = desktop,
                .power = power,
                .now = std::move(now),
                .recording = [] { return false; }};
    }

    QTemporaryDir records, source;
    StationTable table{QStringLiteral("/nonexistent/rd.cds")};
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    FakeDesktop desktop;
    LogindPowerActions power;
    SystemTimeSource keeperTime;
};

}  // namespace

TEST_F(RealRecording, RecordsWhatPlaysIntoMp3AndWma) {
    LoopbackHttpServer server;
    server.addStream("/tone.mp3", toneMp3(source));
    VlcMediaPlayer player;  // the real output: the default sink is the null sink
    player.setURL(server.url("/tone.mp3"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000))
        << PlaybackTexts::playerStatus(player.status()).toStdString();
    // An audio output was found.
    EXPECT_EQ(PlaybackTexts::playerStatus(player.status()), QStringLiteral("正在播放"));

    WindowFields fields;
    RecordingEncoder encoder(encoding(), fields);
    PulseCaptureDevice device;
    QByteArray lastImage;
    StreamKeeper kept(player, keeperTime);
    Recorder recorder(
        device, kept, options, dialogs,
        {.progressTimer = [](bool) {},
         .stopTaskCountdown = [] {},
         .progressText = [](const QString&) {},
         .encode =
             [&] {
                 lastImage = readFile(recorder.waveStream().path());
                 encoder.EncodeRecording(recorder.waveStream().path());
             },
         .newRecordingPath = [&] { return encoder.newRecordingPath(); },
         .fallbackPath = [&](const QString& from) { return encoder.fallbackPath(from); }});
    recorder.initbass();
    ASSERT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.first().text.toStdString();
    ASSERT_GE(recorder.selectedInput(), 0);
    EXPECT_TRUE(recorder.inputNames()[recorder.selectedInput()].contains(QStringLiteral("Monitor")))
        << recorder.inputNames().join(u',').toStdString();

    for (int style : {0, 1}) {
        options.style = style;
        fields.title2 = QStringLiteral("测试电台");  // as the play command sets it
        recorder.ToolButton8Click();
        ASSERT_TRUE(recorder.recording());
        // The rate, from the growth of the image: a least-squares line through (time, size).
        ASSERT_TRUE(
            waitFor([&] { return recorder.waveStream().size() > WaveStream::kHeaderSize; }, 10000));
        QElapsedTimer clock;
        clock.start();
        double n = 0, st = 0, ss = 0, stt = 0, sts = 0;
        while (clock.elapsed() < 3500) {
            const double t = clock.nsecsElapsed() / 1e9,
                         size = double(recorder.waveStream().size());
            n += 1, st += t, ss += size, stt += t * t, sts += t * size;
            QThread::msleep(25);
        }
        const double rate = (n * sts - st * ss) / (n * stt - st * st);
        EXPECT_NEAR(rate, 176400.0, 176400.0 * 0.005) << "bytes per second";
        recorder.ToolButton8Click();
        ASSERT_FALSE(recorder.recording());
        EXPECT_GT(rms(lastImage, WaveStream::kHeaderSize + WaveStream::kBytesPerSecond / 2), 300.0)
            << "the recording is silence";
        encoder.pipeline().waitForDone();
    }
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.last().text.toStdString();
    EXPECT_TRUE(QDir(records.path()).entryList({QStringLiteral("*.wav")}, QDir::Files).isEmpty());

    const QStringList mp3s = QDir(records.path()).entryList({QStringLiteral("*.mp3")}, QDir::Files);
    ASSERT_EQ(mp3s.size(), 1);
    EXPECT_TRUE(mp3s.first().startsWith(QStringLiteral("测试电台 - ")));
    const QByteArray mp3 = readFile(records.filePath(mp3s.first()));
    EXPECT_TRUE(mp3.right(128).startsWith("TAG"));
    Mp3Frame frame{};
    int length = 0;
    ASSERT_TRUE(parseMp3Frame(mp3, id3v2Size(mp3), &frame, &length));
    EXPECT_EQ(frame.bitrateKbps, 128);
    EXPECT_EQ(frame.channelMode, 0);
    EXPECT_FALSE(frame.crc);
    EXPECT_TRUE(frame.original);
    taglib_set_strings_unicode(1);
    TagLib_File* file = taglib_file_new(records.filePath(mp3s.first()).toUtf8().constData());
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(taglib_tag_title(taglib_file_tag(file)), "测试电台");
    taglib_tag_free_strings();
    taglib_file_free(file);

    const QStringList wmas = QDir(records.path()).entryList({QStringLiteral("*.wma")}, QDir::Files);
    ASSERT_EQ(wmas.size(), 1);
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_streams"),
                 QStringLiteral("-show_format"), QStringLiteral("-of"), QStringLiteral("json"),
                 records.filePath(wmas.first())});
    ASSERT_TRUE(probe.waitForFinished(20000));
    const QJsonObject info = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    const QJsonObject stream = info[QStringLiteral("streams")].toArray().first().toObject();
    EXPECT_EQ(stream[QStringLiteral("codec_name")].toString(), QStringLiteral("wmav2"));
    EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString(), QStringLiteral("44100"));
    EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), 2);
    EXPECT_NEAR(stream[QStringLiteral("bit_rate")].toString().toDouble(), 128000, 3000);
    EXPECT_EQ(info[QStringLiteral("format")]
                  .toObject()[QStringLiteral("tags")]
                  .toObject()[QStringLiteral("title")]
                  .toString(),
              QStringLiteral("测试电台"));
}

TEST_F(RealRecording, TheArmedPowerActionReachesLogindAfterTheEncoding) {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        GTEST_SKIP() << "needs the logind mock of scripts/with-test-services";
    const qsizetype before = logindCalls().count(QStringLiteral("Suspend"));

    VlcMediaPlayer player({QStringLiteral("--aout=dummy")});
    WindowFields fields;
    RecordingEncoder encoder(encoding(), fields);
    for (int i = 0; i < 2; ++i) {
        fields.armedFinishAction = QStringLiteral("待机");  // as each task match arms it
        const QString wav = encoder.newRecordingPath();
        writeFile(wav, WaveStream::image({}));
        encoder.EncodeRecording(wav);
        encoder.pipeline().waitForDone();
    }
    EXPECT_EQ(logindCalls().count(QStringLiteral("Suspend")), before + 2)
        << logindCalls().join(u',').toStdString();
    EXPECT_EQ(power.lastError(), QString());
}

// The station's server drops for six seconds, and later stalls, while a recording runs: the
// player plays the station again each time, nothing of the outages is written, and the recording
// holds the station after them.
TEST_F(RealRecording, ARecordingGoesOnThroughAServerDropAndAStall) {
    LoopbackHttpServer server;
    server.addStream("/tone.mp3", toneMp3(source));
    VlcMediaPlayer player;
    StreamKeeper kept(player, keeperTime);
    WindowFields fields;
    fields.title2 = QStringLiteral("测试电台");
    RecordingEncoder encoder(encoding(), fields);
    PulseCaptureDevice device;
    QByteArray image;
    Recorder recorder(
        device, kept, options, dialogs,
        {.progressTimer = [](bool) {},
         .stopTaskCountdown = [] {},
         .progressText = [](const QString&) {},
         .encode = [&] { image = readFile(recorder.waveStream().path()); },
         .newRecordingPath = [&] { return encoder.newRecordingPath(); },
         .fallbackPath = [&](const QString& from) { return encoder.fallbackPath(from); }});
    QTimer ticks;  // Timer1 and Timer5
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        kept.tick();
        recorder.Timer5Timer();
    });
    ticks.start(1000);
    kept.setURL(server.url("/tone.mp3"));
    kept.Play();
    ASSERT_TRUE(waitFor([&] { return kept.soundFlows(); }, 20000));
    recorder.initbass();
    recorder.ToolButton8Click();
    ASSERT_TRUE(recorder.recording());
    QElapsedTimer wall;
    wall.start();
    const auto pass = [](int msecs) { waitFor([] { return false; }, msecs); };
    const auto cpuMsecs = [] {
        rusage use{};
        getrusage(RUSAGE_SELF, &use);
        return (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000 +
               (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000;
    };
    pass(4000);

    server.setOutage(LoopbackHttpServer::Outage::down);
    ASSERT_TRUE(waitFor([&] { return kept.attempt() > 0; }, 10000));
    const long cpuBefore = cpuMsecs();
    pass(6000);
    const double cpuPercent = double(cpuMsecs() - cpuBefore) / 60.0;
    QElapsedTimer back;
    back.start();
    server.setOutage(LoopbackHttpServer::Outage::none);
    ASSERT_TRUE(waitFor([&] { return kept.soundFlows(); }, 40000));
    const qint64 reconnected = back.elapsed();
    pass(4000);

    QElapsedTimer stall;
    stall.start();
    server.setOutage(LoopbackHttpServer::Outage::stalled);
    ASSERT_TRUE(waitFor([&] { return kept.attempt() > 0; }, 30000));
    const qint64 noticed = stall.elapsed();
    server.setOutage(LoopbackHttpServer::Outage::none);
    ASSERT_TRUE(waitFor([&] { return kept.soundFlows(); }, 40000));
    pass(4000);
    recorder.ToolButton8Click();
    const double wallSeconds = double(wall.elapsed()) / 1000;

    // Two gaps, and the station after each.
    ASSERT_EQ(recorder.gaps().size(), 2);
    int gapSeconds = 0;
    for (const Recorder::Gap& gap : recorder.gaps())
        gapSeconds += gap.seconds;
    const QByteArray pcm = image.mid(WaveStream::kHeaderSize);
    const double recorded = double(pcm.size()) / WaveStream::kBytesPerSecond;
    // The station after the outages, to the end; what silence got in is where a gap began.
    EXPECT_GT(rms(pcm, pcm.size() - 2 * WaveStream::kBytesPerSecond), 100.0);
    constexpr qsizetype kBlock = WaveStream::kBytesPerSecond / 2;
    int silentBlocks = 0;
    for (qsizetype at = 0; at + kBlock <= pcm.size(); at += kBlock)
        silentBlocks += rms(pcm, at, at + kBlock) < 20.0;
    EXPECT_LE(silentBlocks, 2 * 8);
    std::printf(
        "outage: back %lld ms after the server; stall seen after %lld ms; CPU %.1f %% while "
        "reconnecting; recorded %.1f s of %.1f s, gaps %d s, silent %.1f s\n",
        qint64(reconnected), qint64(noticed), cpuPercent, recorded, wallSeconds, gapSeconds,
        silentBlocks / 2.0);
}

// The program in another process, recording what the null sink plays until it is killed: this
// test binary again, running only this test with CORVINATONE_TEST_RECORD_INTO set.
TEST_F(RealRecording, RecordsUntilKilled) {
    const QString wav = qEnvironmentVariable("CORVINATONE_TEST_RECORD_INTO");
    if (wav.isEmpty())
        GTEST_SKIP() << "the recording process of the next test";
    FakeMediaPlayer playing;
    playing.state = MediaPlayer::kPlaying;
    PulseCaptureDevice device;
    StreamKeeper kept(playing, keeperTime);
    Recorder recorder(
        device, kept, options, dialogs,
        {.progressTimer = [](bool) {},
         .stopTaskCountdown = [] {},
         .progressText = [](const QString&) {},
         .encode = [] {},
         .newRecordingPath = [&] { return wav; },
         .fallbackPath = [&](const QString&) { return wav + QStringLiteral(".wav"); }});
    recorder.initbass();
    recorder.ToolButton8Click();
    ASSERT_TRUE(recorder.recording());
    QThread::sleep(60);  // killed long before
}

TEST_F(RealRecording, AKilledProgramLeavesItsRecordingWhichTheNextStartSaves) {
    const QString wav = records.filePath(QStringLiteral("测试电台 - 2026120913.wav"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVINATONE_TEST_RECORD_INTO"), wav);
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=RealRecording.RecordsUntilKilled")});
    ASSERT_TRUE(program.waitForStarted(10000));
    const auto onDisk = [&] { return QFileInfo(wav).size(); };
    const bool recorded = waitFor(
        [&] { return onDisk() >= WaveStream::kHeaderSize + 3 * WaveStream::kBytesPerSecond; },
        20000);
    const qint64 aSecondBefore = onDisk();
    waitFor([] { return false; }, 1000);
    program.kill();  // SIGKILL: no clean-up of any kind
    program.waitForFinished(10000);
    ASSERT_TRUE(recorded) << "the recording did not reach the disk: "
                          << program.readAllStandardOutput().toStdString();

    // All but the last moments are on disk; the header still says it never ended.
    const qint64 left = onDisk();
    EXPECT_GE(left, aSecondBefore);
    EXPECT_EQ(qFromLittleEndian<quint32>(readFile(wav).constData() + 40), 0u);

    // The next start repairs and saves it.
    VlcMediaPlayer player({QStringLiteral("--aout=dummy")});
    WindowFields fields;
    RecordingEncoder encoder(encoding(), fields);
    EXPECT_EQ(encoder.recoverRecordings(), QStringList{QFileInfo(wav).fileName()});
    encoder.pipeline().waitForDone();
    EXPECT_FALSE(QFile::exists(wav));
    const QStringList mp3s = QDir(records.path()).entryList({QStringLiteral("*.mp3")});
    ASSERT_EQ(mp3s, QStringList{"测试电台 - 2026120913.mp3"}) << dialogs.shown.size();
    const double seconds = double(left - WaveStream::kHeaderSize) / WaveStream::kBytesPerSecond;
    EXPECT_NEAR(double(QFileInfo(records.filePath(mp3s.first())).size()), seconds * 16000,
                seconds * 16000 * 0.05 + 2000);  // 128 kbit/s for the whole recording
}

// A timed "播放并录音" task on the real path: the runner starts the stream and the recording at the
// task's second, its countdown ends both, and the encoding ends in the task's power action.
TEST_F(RealRecording, ATimedRecordingTaskRecordsItsStationAndEndsInItsPowerAction) {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        GTEST_SKIP() << "needs the logind mock of scripts/with-test-services";
    const qsizetype before = logindCalls().count(QStringLiteral("Hibernate"));
    LoopbackHttpServer server;
    server.addStream("/tone.mp3", toneMp3(source));
    SystemTimeSource time;
    SchedulerSnapshot snapshot;
    StationRow task =
        StationRow::station(QStringLiteral("定时电台"), {}, {}, {}, server.url("/tone.mp3"));
    task.setText(Field::planType, QStringLiteral("播放并录音"));
    const QDateTime start = time.now().addSecs(3);
    task.setDateTime(Field::startTime, CdsDateTime::fromDateTime(start.date(), start.time()));
    task.setInteger(Field::intervalSeconds, 5);
    task.setText(Field::finishAction, QStringLiteral("休眠"));
    snapshot.rows.push_back(task);

    VlcMediaPlayer player;
    WindowFields fields;
    RecordingEncoder encoder(encoding([&] { return time.now(); }), fields);
    PulseCaptureDevice device;
    QTimer timer1, timer3, timer5;
    QString progress;
    StreamKeeper kept(player, keeperTime);
    Recorder recorder(
        device, kept, options, dialogs,
        {.progressTimer = [&](bool on) { on ? timer5.start(1000) : timer5.stop(); },
         .stopTaskCountdown = [&] { timer3.stop(); },
         .progressText = [&](const QString& text) { progress = text; },
         .encode = [&] { encoder.EncodeRecording(recorder.waveStream().path()); },
         .newRecordingPath = [&] { return encoder.newRecordingPath(); },
         .fallbackPath = [&](const QString& from) { return encoder.fallbackPath(from); }});
    recorder.initbass();
    TaskRunner runner(snapshot, kept, dialogs, time, fields,
                      {.statusTimer = [](bool) {},
                       .countdownTimer = [&](bool on) { on ? timer3.start(1000) : timer3.stop(); },
                       .progressTimer = [&](bool on) { on ? timer5.start(1000) : timer5.stop(); },
                       .toggleRecording = [&] { recorder.ToggleRecording(); },
                       .recording = [&] { return recorder.recording(); },
                       .notRecorded = [] {},
                       .balloon = [](const QString&, const QString&) {},
                       .selectRoot = [] {}});
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        kept.tick();
        runner.startall();
    });
    QObject::connect(&timer3, &QTimer::timeout, [&] { runner.Timer3Timer(); });
    QObject::connect(&timer5, &QTimer::timeout, [&] { recorder.Timer5Timer(); });
    timer1.start(1000);

    EXPECT_TRUE(waitFor([&] { return recorder.recording(); }, 8000)) << "the task did not start";
    EXPECT_EQ(player.URL(), server.url("/tone.mp3"));
    const bool done =
        waitFor([&] { return logindCalls().count(QStringLiteral("Hibernate")) > before; }, 30000);
    EXPECT_TRUE(done) << logindCalls().join(u',').toStdString();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(player.playState(), MediaPlayer::kStopped);
    const QStringList mp3s = QDir(records.path()).entryList({QStringLiteral("*.mp3")});
    ASSERT_EQ(mp3s.size(), 1) << QDir(records.path()).entryList().join(u',').toStdString();
    EXPECT_TRUE(mp3s.first().startsWith(QStringLiteral("定时电台 - ")));
    // The length, but for the moments the station took to sound: only sound is recorded.
    const double seconds = double(QFileInfo(records.filePath(mp3s.first())).size()) / 16000;
    EXPECT_GT(seconds, 0.0);
    EXPECT_LT(seconds, 5.0 + 2.0);  // never past the task's length and its last tick
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.first().text.toStdString();
}
