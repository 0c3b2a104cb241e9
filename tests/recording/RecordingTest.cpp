// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "playback/StreamKeeper.h"
#include "recording/Recorder.h"
#include "recording/RecordingEncoder.h"
#include "recording/RecordingNames.h"
#include "recording/WavFileReader.h"
#include "recording/WaveStream.h"
#include "setting/OptionsStore.h"
#include "support/FakeCaptureDevice.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakePower.h"
#include "support/FakeServices.h"
#include "support/FakeTimeSource.h"
#include "support/Mp3Frames.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <taglib/tag_c.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

quint32 u32At(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

class RecorderFixture : public ::testing::Test {
  protected:
    FakeCaptureDevice device;
    FakeMediaPlayer player;
    FakeTimeSource clock;
    StreamKeeper kept{player, clock};
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    QList<bool> timer5;
    int countdownStops = 0;
    QString panel;
    int encodes = 0;
    QTemporaryDir records, elsewhere;
    int made = 0;
    Recorder recorder{
        device,
        kept,
        options,
        dialogs,
        {.progressTimer = [this](bool on) { timer5 << on; },
         .stopTaskCountdown = [this] { ++countdownStops; },
         .progressText = [this](const QString& text) { panel = text; },
         .encode = [this] { ++encodes; },
         .newRecordingPath =
             [this] { return records.filePath(QStringLiteral("r%1.wav").arg(++made)); },
         .fallbackPath =
             [this](const QString&) { return elsewhere.filePath(QStringLiteral("moved.wav")); }}};
};

}  // namespace

TEST_F(RecorderFixture, TheCaptureGoesToDiskAsItArrivesAndTheSizesArePatchedAtTheEnd) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(recorder.buttonHint(), QStringLiteral("停止录音"));
    device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    recorder.Timer5Timer();
    EXPECT_EQ(panel, QStringLiteral("已录音:00:00:01 - 0.02 MB"));
    // On disk already, only the user may read it, and marked as not ended yet.
    const QString wav = records.filePath(QStringLiteral("r1.wav"));
    const QByteArray soFar = readFile(wav);
    EXPECT_EQ(soFar.size(), WaveStream::kHeaderSize + WaveStream::kBytesPerSecond);
    EXPECT_EQ(u32At(soFar, 40), 0u);
    EXPECT_EQ(QFile::permissions(wav) & (QFile::ReadGroup | QFile::ReadOther), 0);
    device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x02'));
    player.state = MediaPlayer::kStopped;  // a recording always stops
    recorder.ToolButton8Click();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorder.buttonHint(), QStringLiteral("开始录音"));

    const QByteArray image = readFile(wav);
    EXPECT_EQ(image.size(), 352'844);
    EXPECT_EQ(u32At(image, 4), 352'836u);
    EXPECT_EQ(u32At(image, 40), 352'800u);
    EXPECT_EQ(image.left(16), QByteArray("RIFF\x44\x62\x05\x00WAVEfmt ", 16));
    EXPECT_TRUE(WaveStream::isReadableWav(image));
    EXPECT_FALSE(WaveStream::isReadableWav(image.left(image.size() - 1)));
    EXPECT_EQ(encodes, 1);
    EXPECT_EQ(timer5, (QList<bool>{true, false}));
    EXPECT_EQ(countdownStops, 1);
    EXPECT_EQ(panel, QString());
    recorder.Timer5Timer();  // a late tick (a task switched Timer5 on): no recording is shown
    EXPECT_EQ(panel, QString());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(device.levels.first(), std::make_pair(0, 1.0));
}

TEST_F(RecorderFixture, TheButtonNeedsAPlayingStationAndAnInput) {
    recorder.initbass();
    player.state = MediaPlayer::kPaused;
    recorder.ToolButton8Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请在播放状态下使用录音功能."));
    EXPECT_FALSE(device.active);

    // Every input off: nothing selected, a start does nothing at all.
    device.list = {{QStringLiteral("A"), false}, {QStringLiteral("B"), false}};
    recorder.initbass();
    EXPECT_EQ(recorder.selectedInput(), -1);
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    EXPECT_FALSE(device.active);
    EXPECT_EQ(recorder.buttonHint(), QStringLiteral("开始录音"));
    EXPECT_EQ(dialogs.shown.size(), 1);

    // A capture that will not start.
    device.list = {{QStringLiteral("A"), true}};
    device.canStart = false;
    recorder.initbass();
    recorder.ToolButton8Click();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("录音程序启动失败！"));
    EXPECT_TRUE(QDir(records.path()).isEmpty());  // no empty recording left behind
    EXPECT_FALSE(recorder.recording());

    // A name that is taken (here by a link planted in its place) is never written through.
    device.canStart = true;
    ASSERT_TRUE(QFile::link(records.filePath(QStringLiteral("elsewhere")),
                            records.filePath(QStringLiteral("r%1.wav").arg(made + 1))));
    recorder.ToolButton8Click();
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(dialogs.shown.last().text.startsWith(QStringLiteral("录音程序启动失败！")));
    EXPECT_FALSE(QFile::exists(records.filePath(QStringLiteral("elsewhere"))));

    // No sound server at start: tried again at the next press.
    device.available = false;
    recorder.initbass();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("启动默认录音设备出错！"));
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::warning);
    EXPECT_TRUE(recorder.deviceMissing());
    device.available = true;  // the sound server is back, with its monitor switched on
    device.list = {{QStringLiteral("A"), true}};
    recorder.ToolButton8Click();
    EXPECT_FALSE(recorder.deviceMissing());
    EXPECT_TRUE(recorder.recording());
}

// The recording goes on in the music folder once; when the disk is full there too, it ends.
TEST_F(RecorderFixture, AFullDiskEndsTheRecordingKeepsWhatWasWrittenAndSaysWhy) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The disk fills up after a second and a half of recording.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{WaveStream::kHeaderSize + WaveStream::kBytesPerSecond * 3 / 2,
                           WaveStream::kHeaderSize + WaveStream::kBytesPerSecond * 3 / 2};
        setrlimit(RLIMIT_FSIZE, &limit);
        recorder.ToolButton8Click();
        device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
        device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x02'));
        recorder.Timer5Timer();
        const bool movedOn = recorder.recording() && encodes == 0;
        device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x03'));
        recorder.Timer5Timer();
        const bool stopped = movedOn && !recorder.recording() && encodes == 1;
        const bool told = !dialogs.shown.isEmpty() && dialogs.shown.last().text.contains(
                                                          QString::fromUtf8(std::strerror(EFBIG)));
        _exit(stopped && told ? 42 : 43);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << status;
    EXPECT_FALSE(QFile::exists(records.filePath(QStringLiteral("r1.wav"))));
    const QByteArray kept = readFile(elsewhere.filePath(QStringLiteral("moved.wav")));
    EXPECT_EQ(kept.size(), WaveStream::kHeaderSize + WaveStream::kBytesPerSecond * 3 / 2);
    EXPECT_TRUE(WaveStream::isReadableWav(kept));  // patched to what was written
}

TEST_F(RecorderFixture, ARecordingWhoseFolderGoesAwayGoesOnElsewhereWhole) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    ASSERT_TRUE(QDir(records.path()).removeRecursively());  // a USB stick pulled out
    device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x02'));
    recorder.Timer5Timer();
    EXPECT_TRUE(recorder.recording());
    const QString moved = elsewhere.filePath(QStringLiteral("moved.wav"));
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_TRUE(dialogs.shown.last().text.endsWith(moved));  // where it is, and it is there
    device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x03'));
    recorder.ToolButton8Click();
    EXPECT_EQ(encodes, 1);
    EXPECT_EQ(recorder.waveStream().path(), moved);
    const QByteArray whole = readFile(moved);
    ASSERT_TRUE(WaveStream::isReadableWav(whole));
    EXPECT_EQ(whole.mid(WaveStream::kHeaderSize),
              QByteArray(WaveStream::kBytesPerSecond, '\x01') +
                  QByteArray(WaveStream::kBytesPerSecond, '\x02') +
                  QByteArray(WaveStream::kBytesPerSecond, '\x03'));
}

TEST_F(RecorderFixture, ARecorderThatGoesWhileRecordingLeavesItForTheNextStart) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    {
        Recorder other(
            device, kept, options, dialogs,
            {.progressTimer = [](bool) {},
             .stopTaskCountdown = [] {},
             .progressText = [](const QString&) {},
             .encode = [] {},
             .newRecordingPath =
                 [this] { return records.filePath(QStringLiteral("R - 2026120913.wav")); },
             .fallbackPath = [](const QString& from) { return from; }});
        other.initbass();
        other.ToolButton8Click();
        device.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    }
    EXPECT_FALSE(device.active);  // stopped before its file went
    EXPECT_EQ(WaveStream::unencoded(records.path()),
              QStringList{records.filePath(QStringLiteral("R - 2026120913.wav"))});
}

TEST_F(RecorderFixture, WithoutSoundNothingIsWrittenAndTheRecordingGoesOnWhenItReturns) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    // Each tick sees the state, then a second of audio arrives.
    const auto second = [this](char sample) {
        recorder.Timer5Timer();
        device.feed(QByteArray(WaveStream::kBytesPerSecond, sample));
    };
    second('\x01');
    // The stream is lost and the player reconnects: nothing of it is written, for two seconds.
    player.state = MediaPlayer::kTransitioning;
    second('\x00');
    second('\x00');
    EXPECT_EQ(panel, QStringLiteral("已录音:00:00:01 - 等待电台声音"));
    player.state = MediaPlayer::kPlaying;
    for (int i = 0; i < Recorder::kGapsApartSeconds; ++i)
        second('\x02');
    // The sound server goes away, and is not back at the first try.
    device.list = {{QStringLiteral("Microphone"), false},
                   {QStringLiteral("Monitor of Null Output"), false}};
    device.broken = QStringLiteral("the sound server stopped delivering the recording");
    device.available = false;
    second('\x00');
    EXPECT_EQ(panel, QStringLiteral("已录音:00:00:04 - 等待声音服务器"));
    EXPECT_TRUE(recorder.recording());
    device.available = true;
    second('\x03');  // back: the same input again, by its name, now second in the list
    EXPECT_TRUE(device.active);
    EXPECT_EQ(recorder.selectedInput(), 1);
    EXPECT_TRUE(device.list[1].on);
    EXPECT_EQ(panel, QStringLiteral("已录音:00:00:05 - 0.07 MB"));
    recorder.ToolButton8Click();

    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(encodes, 1);
    EXPECT_EQ(recorder.gaps(), (QList<Recorder::Gap>{{1, 2}, {4, 1}}));
    EXPECT_TRUE(recorder.heard());
    const QByteArray pcm =
        readFile(records.filePath(QStringLiteral("r1.wav"))).mid(WaveStream::kHeaderSize);
    EXPECT_EQ(pcm, QByteArray(WaveStream::kBytesPerSecond, '\x01') +
                       QByteArray(3 * WaveStream::kBytesPerSecond, '\x02') +
                       QByteArray(WaveStream::kBytesPerSecond, '\x03'));

    // A task's recording begins while its station connects: the wait is no gap, and a station
    // that never sends leaves a recording that heard nothing.
    player.state = MediaPlayer::kTransitioning;
    recorder.ToggleRecording();
    second('\x00');
    second('\x00');
    recorder.ToggleRecording();
    EXPECT_TRUE(recorder.gaps().isEmpty());
    EXPECT_FALSE(recorder.heard());

    // Stopped while the sound server is away: that recording ends, and none begins instead.
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    second('\x04');
    device.broken = QStringLiteral("the sound server stopped delivering the recording");
    device.available = false;
    second('\x00');
    recorder.ToolButton8Click();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(encodes, 3);
    // It restarted while nothing recorded: the next recording connects again.
    device.available = true;
    device.stale = true;
    recorder.ToolButton8Click();
    EXPECT_TRUE(recorder.recording());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST(WaveStreamFile, OurUnencodedRecordingsAreFoundAndUnendedOnesRepairedFromTheirLength) {
    QTemporaryDir dir;
    const QByteArray pcm(WaveStream::kBytesPerSecond, '\x05');
    for (const char* name : {"Radio - 2026120913 (2).wav", "Radio - 2026120914.WAV", "take 1.wav",
                             "Radio - 2026120915.mp3"}) {
        WaveStream wave;  // a crash: never finished
        wave.create(dir.filePath(QString::fromUtf8(name)));
        wave.append(pcm.constData(), pcm.size());
    }
    writeFile(dir.filePath(QStringLiteral("other - 2026120913.wav")), "RIFF, but not ours");
    writeFile(dir.filePath(QStringLiteral("done - 2026120913.wav")),
              WaveStream::image(QByteArray(400, '\0')));
    const QString crashed = dir.filePath(QStringLiteral("Radio - 2026120913 (2).wav"));
    const QByteArray otherBefore = readFile(dir.filePath(QStringLiteral("other - 2026120913.wav")));
    const QByteArray notOurs = readFile(dir.filePath(QStringLiteral("take 1.wav")));
    const QByteArray mp3Before = readFile(dir.filePath(QStringLiteral("Radio - 2026120915.mp3")));
    // Any case of the suffix; never a file of another kind with a recording's name.
    const QStringList unencoded{dir.filePath(QStringLiteral("done - 2026120913.wav")), crashed,
                                dir.filePath(QStringLiteral("Radio - 2026120914.WAV"))};
    EXPECT_EQ(WaveStream::unencoded(dir.path()), unencoded);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("Radio - 2026120915.mp3"))), mp3Before);
    EXPECT_TRUE(WaveStream::isReadableWav(readFile(crashed)));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("other - 2026120913.wav"))), otherBefore);
    // A WAV of another program, whatever its header, is not ours to touch.
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("take 1.wav"))), notOurs);
    const QByteArray repaired = readFile(crashed);
    EXPECT_EQ(WaveStream::unencoded(dir.path()), unencoded);  // until encoded
    EXPECT_EQ(readFile(crashed), repaired);                   // repaired once
}

TEST_F(RecorderFixture, TheLastSwitchedOnInputIsChosenAndTheOnlyOneOn) {
    device.list = {{QStringLiteral("麦克风"), false},
                   {QStringLiteral("线路输入"), true},
                   {QStringLiteral("立体声混音"), true}};
    recorder.initbass();
    EXPECT_EQ(recorder.inputNames(), (QStringList{"麦克风", "线路输入", "立体声混音"}));
    EXPECT_EQ(recorder.selectedInput(), 2);
    EXPECT_FALSE(device.list[0].on);
    EXPECT_FALSE(device.list[1].on);
    EXPECT_TRUE(device.list[2].on);
    recorder.ComboBox2Change(0);
    EXPECT_TRUE(device.list[0].on);
    EXPECT_FALSE(device.list[2].on);
}

TEST_F(RecorderFixture, ProgressUsesTheFormatOfEachTick) {
    recorder.initbass();
    player.state = MediaPlayer::kPlaying;
    recorder.ToolButton8Click();
    recorder.Timer5Timer();
    EXPECT_EQ(panel, QStringLiteral("已录音:00:00:01 - 0.00 MB"));  // the header alone
    device.feed(QByteArray(65 * WaveStream::kBytesPerSecond, '\0'));
    for (int i = 1; i < 65; ++i)
        recorder.Timer5Timer();
    EXPECT_EQ(panel, QStringLiteral("已录音:00:01:05 - 1.09 MB"));  // 11,466,044 bytes ÷ 2^20 ÷ 10
    options.style = 1;
    recorder.Timer5Timer();
    EXPECT_EQ(panel, QStringLiteral("已录音:00:01:06 - 1.21 MB"));  // ÷ 9 from this tick on
    options.style = 5;                                              // unknown: recorded as MP3
    recorder.Timer5Timer();
    EXPECT_EQ(panel, QStringLiteral("已录音:00:01:07 - 1.09 MB"));
}

TEST(WavFile, ARecordingPast4GiBIsReadToTheEndOfTheFile) {
    // 22 hours of a task: the header's 32-bit sizes stand at 0xFFFFFFFF. Sparse, so the test
    // writes no gigabytes.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    const qint64 dataBytes = (qint64(1) << 32) + 4 * 1000;
    QByteArray head = WaveStream::header(dataBytes);
    ASSERT_EQ(qFromLittleEndian<quint32>(head.constData() + 40), WaveStream::kSizeUnknown);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        ASSERT_TRUE(f.resize(WaveStream::kHeaderSize + dataBytes - 4));
        ASSERT_TRUE(f.seek(WaveStream::kHeaderSize + dataBytes - 4));
        f.write("\x01\x00\x02\x00", 4);  // the last frame
    }
    WavFileReader reader(path);
    EXPECT_EQ(reader.remainingBytes(), dataBytes);
    std::vector<qint16> block(2 * 65536);
    qint64 frames = 0;
    qint16 last[2] = {};
    for (qsizetype n; (n = reader.read(block.data(), 65536)) > 0; frames += n)
        std::copy_n(block.begin() + 2 * (n - 1), 2, last);
    EXPECT_EQ(frames, dataBytes / 4);
    EXPECT_EQ(last[0], 1);
    EXPECT_EQ(last[1], 2);

    // And a header that says less than the file holds is believed (a file from elsewhere).
    qToLittleEndian<quint32>(400, head.data() + 40);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(head);
    }
    WavFileReader shorter(path);
    EXPECT_EQ(shorter.read(block.data(), 1000), 100);
    EXPECT_EQ(shorter.read(block.data(), 1000), 0);
}

TEST(RecordingNames, StampsAndSafeUniqueNames) {
    EXPECT_EQ(RecordingNames::stamp(QDateTime(QDate(2012, 12, 9), QTime(9, 5, 59))),
              QStringLiteral("201212090905"));
    EXPECT_EQ(RecordingNames::stamp(QDateTime(QDate(2012, 12, 31), QTime(23, 59))),
              QStringLiteral("201212312359"));
    EXPECT_EQ(
        RecordingNames::fileNamePart(QStringLiteral("AC/DC ../x") + QChar(0) + QStringLiteral("y")),
        QStringLiteral("AC_DC .._x_y"));
    QTemporaryDir dir;
    const QString first = RecordingNames::unusedPath(
        dir.path(), QStringLiteral("R"), QStringLiteral("201212090905"), QStringLiteral(".mp3"));
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("R - 201212090905.mp3"));
    QFile(first).open(QIODevice::WriteOnly);
    EXPECT_EQ(QFileInfo(RecordingNames::unusedPath(dir.path(), QStringLiteral("R"),
                                                   QStringLiteral("201212090905"),
                                                   QStringLiteral(".mp3")))
                  .fileName(),
              QStringLiteral("R - 201212090905 (2).mp3"));
    // A name is read back into its station and stamp, also in the ten digits of earlier versions.
    QString station, stamp;
    ASSERT_TRUE(
        RecordingNames::parse(QStringLiteral("A - B - 201212090905 (2)"), &station, &stamp));
    EXPECT_EQ(station + u'|' + stamp, QStringLiteral("A - B|201212090905"));
    ASSERT_TRUE(RecordingNames::parse(QStringLiteral("R - 2012120905"), &station, &stamp));
    EXPECT_EQ(stamp, QStringLiteral("2012120905"));
    EXPECT_FALSE(RecordingNames::parse(QStringLiteral("R - 20121209090"), &station, &stamp));

    // Names every file system takes, USB sticks (FAT, exFAT) included.
    EXPECT_EQ(RecordingNames::fileNamePart(QStringLiteral("News: 24/7? \"Live\" <A|B> *\\\t\x7f")),
              QStringLiteral("News_ 24_7_ _Live_ _A_B_ ____"));
    // A user's name of 255 characters (765 bytes of UTF-8) is cut to fit 255 bytes with its
    // stamp, " (n)" and extension, on a character boundary.
    const QString longName = QString(254, QChar(0x4E2D)) + QChar(0xD83D) + QChar(0xDCFB);
    QSet<QString> names;
    const auto fits = [&](const QString& path) {
        const QString name = QFileInfo(path).fileName();
        EXPECT_LE(name.toUtf8().size(), RecordingNames::kMaxNameBytes) << name.toStdString();
        EXPECT_TRUE(name.endsWith(QStringLiteral(".wma"))) << name.toStdString();
        return names.contains(path);
    };
    for (int i = 0; i < 12; ++i)
        names << RecordingNames::unusedPath(dir.path(), longName, QStringLiteral("201212090905"),
                                            QStringLiteral(".wma"), fits);
    EXPECT_EQ(names.size(), 12);
    EXPECT_TRUE(names.contains(dir.filePath(QString(77, QChar(0x4E2D)) +  // 231 + 22 bytes
                                            QStringLiteral(" - 201212090905 (12).wma"))));
    QFile made(*names.begin());
    EXPECT_TRUE(made.open(QIODevice::WriteOnly)) << made.errorString().toStdString();
}

namespace {

class EncodingFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        options.record = records.path();
        table.append(StationRow::station(QStringLiteral("选中的电台"), {}, {}, {},
                                         QStringLiteral("http://x")));
        table.setFilter(ViewFilter::all());
    }
    // A finished recording of a tone, where the recorder would have written it.
    QString recording(double seconds) {
        WaveStream wave;
        wave.create(encoder.newRecordingPath());
        const QByteArray pcm = sinePcm(seconds);
        wave.append(pcm.constData(), pcm.size());
        wave.finish();
        return wave.path();
    }
    QStringList recordings() const {
        return QDir(records.path()).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir records;
    StationTable table{QStringLiteral("/nonexistent/rd.cds")};
    FakeMediaPlayer player;
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FakePower power;
    WindowFields fields;
    QDateTime clock{QDate(2012, 12, 9), QTime(9, 5)};
    bool recordingRuns = false;
    RecordingEncoder encoder{{.table = table,
                              .options = options,
                              .dialogs = dialogs,
                              .desktop = desktop,
                              .power = power,
                              .now = [this] { return clock; },
                              .recording = [this] { return recordingRuns; }},
                             fields};
};

}  // namespace

TEST_F(EncodingFixture, Mp3IsNamedAfterTheStationWithAllItsSettingsAndTheTitle) {
    fields.title2 = QStringLiteral("Andika 105.7 FM");
    fields.armedFinishAction = QStringLiteral("待机");
    encoder.EncodeRecording(recording(2.0));
    encoder.pipeline().waitForDone();

    EXPECT_EQ(recordings(), QStringList{"Andika 105.7 FM - 201212090905.mp3"});
    EXPECT_TRUE(QDir(records.path()).entryList({QStringLiteral("*.wav")}).isEmpty());  // encoded
    EXPECT_EQ(fields.title2, QString());
    EXPECT_EQ(power.calls, QStringList{"Suspend"});
    EXPECT_TRUE(dialogs.shown.isEmpty());

    const QString path = records.filePath(recordings().first());
    const QByteArray mp3 = readFile(path);
    ASSERT_GE(mp3.size(), 128);
    EXPECT_TRUE(mp3.right(128).startsWith("TAG"));
    int at = id3v2Size(mp3), frames = 0, length = 0;
    Mp3Frame frame{};
    while (at < mp3.size() - 128 && parseMp3Frame(mp3, at, &frame, &length)) {
        EXPECT_EQ(frame.bitrateKbps, 128) << at;
        EXPECT_EQ(frame.sampleRate, 44100);
        EXPECT_EQ(frame.channelMode, 0);  // stereo, not joint
        EXPECT_FALSE(frame.crc);
        EXPECT_TRUE(frame.original);
        EXPECT_FALSE(frame.copyright);
        ++frames;
        at += length;
    }
    EXPECT_EQ(at, mp3.size() - 128);  // frames run up to the ID3v1 block, no VBR header frame
    EXPECT_NEAR(frames, 2.0 * 44100 / 1152, 3);

    taglib_set_strings_unicode(1);
    TagLib_File* file = taglib_file_new(path.toUtf8().constData());
    ASSERT_NE(file, nullptr);
    TagLib_Tag* tag = taglib_file_tag(file);
    EXPECT_STREQ(taglib_tag_title(tag), "Andika 105.7 FM");  // its own, not the selected row
    EXPECT_STREQ(taglib_tag_genre(tag), "");
    taglib_tag_free_strings();
    taglib_file_free(file);

    // Carried out once: the next recording, made by hand, ends in nothing.
    EXPECT_EQ(fields.armedFinishAction, QString());
    encoder.EncodeRecording(recording(0.5));
    encoder.pipeline().waitForDone();
    EXPECT_EQ(power.calls, QStringList{"Suspend"});
}

TEST_F(EncodingFixture, WithoutTagLibTheMp3IsMadeWithoutATitle) {
    qputenv("CORVINATONE_TAGLIB", QFile::encodeName(records.filePath(QStringLiteral("gone.so"))));
    fields.title2 = QStringLiteral("Radio");
    encoder.EncodeRecording(recording(0.5));
    encoder.pipeline().waitForDone();
    qunsetenv("CORVINATONE_TAGLIB");
    ASSERT_EQ(recordings(), QStringList{"Radio - 201212090905.mp3"});
    EXPECT_TRUE(dialogs.shown.isEmpty());
    const QByteArray mp3 = readFile(records.filePath(recordings().first()));
    EXPECT_EQ(id3v2Size(mp3), 0);  // no title tag in front
    EXPECT_EQ(mp3.right(128), QByteArray("TAG") + QByteArray(125, 0));
}

TEST_F(EncodingFixture, RecordingsInARowAreQueuedAndNeverOverwriteEachOther) {
    fields.title2 = QStringLiteral("AC/DC Radio");
    encoder.EncodeRecording(recording(1.0));
    fields.title2 = QStringLiteral("AC/DC Radio");
    encoder.EncodeRecording(recording(1.0));  // while the first is still encoding
    options.style = 1;
    encoder.EncodeRecording(recording(1.0));
    encoder.pipeline().waitForDone();
    EXPECT_EQ(recordings(),
              (QStringList{"AC_DC Radio - 201212090905 (2).mp3", "AC_DC Radio - 201212090905.mp3",
                           "AC_DC Radio - 201212090905.wma"}));
    EXPECT_TRUE(QDir(records.path()).entryList({QStringLiteral("*.wav")}).isEmpty());  // encoded
    options.style = 7;  // neither format (a damaged option.ini): MP3, never nothing at all
    fields.title2 = QStringLiteral("Other");
    encoder.EncodeRecording(recording(1.0));
    encoder.pipeline().waitForDone();
    EXPECT_TRUE(recordings().contains(QStringLiteral("Other - 201212090905.mp3")));
}

TEST_F(EncodingFixture, ThePowerActionWaitsForTheLastQueuedEncoding) {
    fields.armedFinishAction = QStringLiteral("待机");
    QStringList seen;  // what was on disk when the power action came
    power.onCall = [&] { seen = recordings(); };
    fields.title2 = QStringLiteral("One");
    encoder.EncodeRecording(recording(2.0));
    fields.title2 = QStringLiteral("Two");
    encoder.EncodeRecording(recording(2.0));  // queued behind the first
    encoder.pipeline().waitForDone();
    EXPECT_EQ(power.calls, QStringList{"Suspend"});  // once, after both
    EXPECT_EQ(seen, (QStringList{"One - 201212090905.mp3", "Two - 201212090905.mp3"}));
}

TEST_F(EncodingFixture, TheTimedPowerActionWaitsForTheEncodingsAndComesAlone) {
    fields.armedFinishAction = QStringLiteral("待机");  // a task's, armed before
    fields.title2 = QStringLiteral("Late show");
    encoder.EncodeRecording(recording(2.0));
    encoder.powerAction(QStringLiteral("关机"));  // the options' daily action, while encoding
    EXPECT_TRUE(power.calls.isEmpty());
    QStringList seen;
    power.onCall = [&] { seen = recordings(); };
    encoder.pipeline().waitForDone();
    EXPECT_EQ(power.calls, QStringList{"PowerOff"});
    EXPECT_EQ(seen, QStringList{"Late show - 201212090905.mp3"});
    encoder.powerAction(QStringLiteral("休眠"));  // nothing to wait for
    EXPECT_EQ(power.calls, (QStringList{"PowerOff", "Hibernate"}));
}

TEST_F(EncodingFixture, AFailedEncodingKeepsTheWavAndSaysWhere) {
    fields.title2 = QStringLiteral("Lost?");  // "?" cannot stand in a name on a USB stick
    options.open = true;
    fields.armedFinishAction = QStringLiteral("关机");
    const QString wav = encoder.newRecordingPath();
    ASSERT_TRUE(writeFile(wav, "RIFF, and then nothing a WAV reader takes"));
    encoder.EncodeRecording(wav);
    encoder.pipeline().waitForDone();
    EXPECT_EQ(recordings(), QStringList{"Lost_ - 201212090905.wav"});  // kept, and no MP3
    QCoreApplication::processEvents();  // the message does not hold up what follows
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(wav)) << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(desktop.opened.size(), 1);  // the rest of the done handler still runs
    EXPECT_EQ(power.calls, QStringList{"PowerOff"});
}

TEST_F(EncodingFixture, WmaComesFromItsModuleLoadedAtTheFirstWmaRecordingOnly) {
    const auto ffmpegLoaded = [] {
        return readFile(QStringLiteral("/proc/self/maps")).contains("libavcodec");
    };
    EXPECT_FALSE(ffmpegLoaded());  // not at start, nor for MP3
    fields.title2 = QStringLiteral("Radio");
    options.style = 1;
    encoder.EncodeRecording(recording(0.5));
    encoder.pipeline().waitForDone();
    ASSERT_EQ(recordings(), QStringList{"Radio - 201212090905.wma"}) << dialogs.shown.size();
    EXPECT_TRUE(readFile(records.filePath(recordings().first()))
                    .startsWith(QByteArray::fromHex("3026b2758e66cf11")));  // an ASF file
    EXPECT_TRUE(ffmpegLoaded());
}

TEST_F(EncodingFixture, AMissingWmaModuleFailsAsAnyEncodingDoesAndKeepsTheWav) {
    qputenv("CORVINATONE_WMA_MODULE",
            QFile::encodeName(records.filePath(QStringLiteral("gone.so"))));
    fields.title2 = QStringLiteral("Radio");
    options.style = 1;
    encoder.EncodeRecording(recording(0.5));
    encoder.pipeline().waitForDone();
    qunsetenv("CORVINATONE_WMA_MODULE");
    EXPECT_EQ(recordings(), QStringList{"Radio - 201212090905.wav"});
    QCoreApplication::processEvents();  // the message does not hold up what follows
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("libcorvinatone-wma.so")))
        << dialogs.shown[0].text.toStdString();
}

TEST_F(EncodingFixture, WithoutARecordingFolderTheRecordingGoesToTheMusicFolder) {
    // Never into the current folder: the user's music folder, and the user is told.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    for (const QString& record : {QString(), records.filePath(QStringLiteral("gone"))}) {
        options.record = record;
        fields.title2 = QStringLiteral("Radio");
        const int shownBefore = int(dialogs.shown.size());
        const QString path = recording(0.2);
        EXPECT_EQ(QFileInfo(path).absolutePath(), music);
        // Told once the recording runs, not before: a timed recording must not wait for an OK.
        EXPECT_EQ(dialogs.shown.size(), shownBefore);
        QCoreApplication::processEvents();
        ASSERT_EQ(dialogs.shown.size(), shownBefore + 1);
        EXPECT_TRUE(dialogs.shown.last().text.endsWith(music)) << record.toStdString();
        encoder.EncodeRecording(path);
        encoder.pipeline().waitForDone();
    }
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_TRUE(music.startsWith(home.path()));
    EXPECT_EQ(QDir(music).entryList(QDir::Files),
              (QStringList{"Radio - 201212090905 (2).mp3", "Radio - 201212090905.mp3"}));

    options.open = true;  // "open" with no folder set: the message
    options.record.clear();
    encoder.openRecordFolder();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("请先设置录音存放目录。"));
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::warning);
}

// A crash while encoding leaves the WAV whole and only a partial file, under another name: the
// next start removes that and encodes the WAV again, titled after its own station.
TEST_F(EncodingFixture, ACrashWhileEncodingLosesNothingAndTheNextStartEncodesAgain) {
    const QString wav = records.filePath(QStringLiteral("Jazz - 201212090905.wav"));
    ASSERT_TRUE(writeFile(wav, WaveStream::image(sinePcm(0.5))));
    ASSERT_TRUE(writeFile(records.filePath(QStringLiteral("Jazz - 201212090905.mp3.part")), "cut"));
    ASSERT_TRUE(writeFile(records.filePath(QStringLiteral("Old - 201212090904.wma.part")), "cut"));
    ASSERT_TRUE(writeFile(records.filePath(QStringLiteral("notes.txt.part")), "not ours"));
    EXPECT_EQ(encoder.recoverRecordings(), QStringList{"Jazz - 201212090905.wav"});
    encoder.pipeline().waitForDone();
    EXPECT_EQ(recordings(), (QStringList{"Jazz - 201212090905.mp3", "notes.txt.part"}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    taglib_set_strings_unicode(1);
    TagLib_File* file = taglib_file_new(
        records.filePath(QStringLiteral("Jazz - 201212090905.mp3")).toUtf8().constData());
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(taglib_tag_title(taglib_file_tag(file)), "Jazz");
    taglib_tag_free_strings();
    taglib_file_free(file);

    // A file that took the name meanwhile stays as it is; the encoding fails, leaving no part.
    const QString taken = records.filePath(QStringLiteral("Taken - 201212090905.mp3"));
    ASSERT_TRUE(writeFile(taken, "someone else's"));
    EncoderJob job;
    job.wavPath = wav + QStringLiteral(".copy");
    ASSERT_TRUE(writeFile(job.wavPath, WaveStream::image(sinePcm(0.2))));
    job.outputPath = taken;
    EncoderPipeline::run(job);
    EXPECT_FALSE(job.ok);
    EXPECT_EQ(readFile(taken), QByteArray("someone else's"));
    EXPECT_FALSE(QFile::exists(EncoderPipeline::partialPath(taken)));
    QFile::remove(taken);
    QFile::remove(job.wavPath);

    // An encoding that fails leaves nothing under the recording's name, nor a partial file.
    encoder.EncodeRecording(records.filePath(QStringLiteral("Gone - 201212090905.wav")));
    encoder.pipeline().waitForDone();
    EXPECT_EQ(recordings(), (QStringList{"Jazz - 201212090905.mp3", "notes.txt.part"}));
}

TEST_F(EncodingFixture, ATaskMatchNamesTheRecordingAfterTheTask) {
    fields.title2 = QStringLiteral("Playing now");
    fields.title5 = QStringLiteral("Task station");
    fields.rdfile = true;
    encoder.EncodeRecording(recording(0.3));
    encoder.pipeline().waitForDone();
    EXPECT_EQ(recordings(), QStringList{"Task station - 201212090905.mp3"});
    EXPECT_FALSE(fields.rdfile);
}

TEST_F(EncodingFixture, TheUserLearnsWhatARecordingHoldsOrWhyItHoldsNothing) {
    QList<std::pair<QStringList, bool>> told;
    QObject::connect(&encoder, &RecordingEncoder::noticesReady,
                     [&](const QStringList& notices, bool off) {
                         told.append({notices, off});
                     });
    QStringList seenAtAction;
    power.onCall = [&] { seenAtAction = recordings(); };
    fields.title2 = QStringLiteral("Night");
    fields.armedFinishAction = QStringLiteral("关机");
    encoder.recordingEnded(recording(2.0),
                           {.seconds = 7199, .gaps = 2, .gapSeconds = 15, .heard = true});
    encoder.pipeline().waitForDone();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0].first, QStringList{"录音已保存：Night - 201212090905.mp3，时长 01:59:59，"
                                         "中断2次，共15秒"});
    EXPECT_TRUE(told[0].second);  // told before the computer goes off
    EXPECT_EQ(power.calls, QStringList{"PowerOff"});

    // A station that never sent: no file is left that looks like a recording, and the task's
    // action is carried out all the same.
    fields.title2 = QStringLiteral("Dead");
    fields.armedFinishAction = QStringLiteral("待机");
    const QString silent = recording(0.0);
    encoder.recordingEnded(silent, {.seconds = 0, .gaps = 0, .gapSeconds = 0, .heard = false});
    EXPECT_FALSE(QFile::exists(silent));
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[1], std::make_pair(QStringList{"Dead：电台无法连接，未录音"}, true));
    EXPECT_EQ(power.calls, (QStringList{"PowerOff", "Suspend"}));
    EXPECT_EQ(seenAtAction, QStringList{"Night - 201212090905.mp3"});
    EXPECT_TRUE(dialogs.shown.isEmpty());
}
