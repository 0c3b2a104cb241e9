// The whole recording path with real components: libvlc plays a tone served on loopback into a
// PulseAudio null sink, the capture records the sink's monitor, LAME and FFmpeg encode it, and
// power actions reach logind on a private bus (all started by scripts/with-test-services).
#include "catalogue/StationTable.h"
#include "platform/PowerActions.h"
#include "platform/PulseCaptureDevice.h"
#include "platform/VlcMediaPlayer.h"
#include "playback/Playback.h"
#include "recording/Mp3Encoder.h"
#include "recording/Recorder.h"
#include "recording/RecordingEncoder.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeServices.h"
#include "support/LoopbackHttpServer.h"
#include "support/Mp3Frames.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"
#include "support/Tone.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
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
#include <QtEndian>

#include <taglib/tag_c.h>

#include <gtest/gtest.h>

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

    QTemporaryDir records, source;
    StationTable table{QStringLiteral("/nonexistent/rd.cds")};
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    NoKiller killer;
    FakeDesktop desktop;
    LogindPowerActions power;
};

}  // namespace

TEST_F(RealRecording, RecordsWhatPlaysIntoMp3AndWma) {
    LoopbackHttpServer server;
    server.addStream("/tone.mp3", toneMp3(source));
    VlcMediaPlayer player;  // the real output: the default sink is the null sink
    player.setURL(server.url("/tone.mp3"));
    player.Play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == MediaPlayer::kPlaying; }, 20000))
        << player.status().toStdString();
    EXPECT_EQ(player.status(), QStringLiteral("正在播放"));  // an audio output was found

    Playback playback(player, table, options, dialogs, killer, {[](bool) {}, [] {}, [] {}});
    playback.title2 = QStringLiteral("测试电台");
    RecordingEncoder encoder({playback, table, options, dialogs, desktop, power,
                              [] { return QDateTime::currentDateTime(); }});
    PulseCaptureDevice device;
    QByteArray lastImage;
    Recorder recorder(device, player, options, dialogs,
                      {[](bool) {}, [] {}, [](const QString&) {},
                       [&] {
                           lastImage = readFile(recorder.waveStream().path());
                           encoder.EncodeRecording(recorder.waveStream().path());
                       },
                       [&] { return encoder.newRecordingPath(); }});
    recorder.initbass();
    ASSERT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.first().text.toStdString();
    ASSERT_GE(recorder.selectedInput(), 0);
    EXPECT_TRUE(recorder.inputNames()[recorder.selectedInput()].contains(QStringLiteral("Monitor")))
        << recorder.inputNames().join(u',').toStdString();

    for (int style : {0, 1}) {
        options.style = style;
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

TEST_F(RealRecording, TheArmedPowerActionReachesLogindAfterEveryEncoding) {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        GTEST_SKIP() << "needs the logind mock of scripts/with-test-services";
    const auto calls = [] {
        const QDBusMessage reply = QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetCalls")));
        QStringList names;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return names;
        const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            quint64 time;
            QString name;
            QVariantList arguments;
            list.beginStructure();
            list >> time >> name >> arguments;
            list.endStructure();
            names << name;
        }
        list.endArray();
        return names;
    };
    const qsizetype before = calls().count(QStringLiteral("Suspend"));

    VlcMediaPlayer player({QStringLiteral("--aout=dummy")});
    Playback playback(player, table, options, dialogs, killer, {[](bool) {}, [] {}, [] {}});
    RecordingEncoder encoder({playback, table, options, dialogs, desktop, power,
                              [] { return QDateTime::currentDateTime(); }});
    encoder.armedFinishAction = QStringLiteral("待机");
    for (int i = 0; i < 2; ++i) {
        const QString wav = encoder.newRecordingPath();
        writeFile(wav, WaveStream::image({}));
        encoder.EncodeRecording(wav);
        encoder.pipeline().waitForDone();
    }
    EXPECT_EQ(calls().count(QStringLiteral("Suspend")), before + 2)
        << calls().join(u',').toStdString();
    EXPECT_EQ(power.lastError(), QString());
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
    Recorder recorder(device, playing, options, dialogs,
                      {[](bool) {}, [] {}, [](const QString&) {}, [] {}, [&] { return wav; }});
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
    Playback playback(player, table, options, dialogs, killer, {[](bool) {}, [] {}, [] {}});
    RecordingEncoder encoder({playback, table, options, dialogs, desktop, power,
                              [] { return QDateTime::currentDateTime(); }});
    EXPECT_EQ(encoder.recoverRecordings(), QStringList{QFileInfo(wav).fileName()});
    encoder.pipeline().waitForDone();
    EXPECT_FALSE(QFile::exists(wav));
    const QStringList mp3s = QDir(records.path()).entryList({QStringLiteral("*.mp3")});
    ASSERT_EQ(mp3s, QStringList{"测试电台 - 2026120913.mp3"}) << dialogs.shown.size();
    const double seconds = double(left - WaveStream::kHeaderSize) / WaveStream::kBytesPerSecond;
    EXPECT_NEAR(double(QFileInfo(records.filePath(mp3s.first())).size()), seconds * 16000,
                seconds * 16000 * 0.05 + 2000);  // 128 kbit/s for the whole recording
}
