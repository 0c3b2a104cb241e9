// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the real program as a user would and watches what it says and whether it keeps running.
#include "app/CommandLine.h"
#include "catalogue/StationTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "platform/MprisRemote.h"
#include "support/LoopbackHttpServer.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>
#include <csignal>

namespace {

class ProgramFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && runtime.isValid() && elsewhere.isValid());
        StationTable table(home.filePath(QStringLiteral("rd.cds")));
        table.append(StationRow::station(QStringLiteral("CNN"), QStringLiteral("美国"),
                                         QStringLiteral("新闻"), QStringLiteral("32kbps"),
                                         QStringLiteral("http://127.0.0.1:9/cnn")));
        table.commitAndSave();
    }
    void TearDown() override {
        for (QProcess* p : running) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
    }

    QProcess* launch(const QString& program, const QString& programHome,
                     const QString& vlcArguments = QStringLiteral("--aout=dummy"),
                     const QStringList& arguments = {}) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("CORVINATONE_DIALOGS"), QStringLiteral("console"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("CORVINATONE_VLC_ARGS"), vlcArguments);
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());  // never the tester's own
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBus);
        if (programHome.isEmpty())
            env.remove(QStringLiteral("CORVINATONE_HOME"));
        else
            env.insert(QStringLiteral("CORVINATONE_HOME"), programHome);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(elsewhere.path());
        p->start(program, arguments);
        EXPECT_TRUE(p->waitForStarted(15000));
        running.push_back(p);
        return p;
    }
    QProcess* launch() { return launch(QStringLiteral(CORVINATONE_EXE), home.path()); }

    // Waits (bounded) until some process holds the single-instance lock. Read from /proc/locks,
    // so the probe never holds the lock itself while a program starts.
    bool lockTaken() {
        const QString path = QDir(runtime.path()).filePath(QStringLiteral("RUNONCEMUTEX"));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            struct stat st;
            if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
                QFile locks(QStringLiteral("/proc/locks"));
                if (locks.open(QIODevice::ReadOnly) &&
                    locks.readAll().contains(QStringLiteral(":%1 ").arg(st.st_ino).toLatin1()))
                    return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    static bool stillRunning(QProcess* p) { return !p->waitForFinished(300); }

    // Waits (bounded) until the window is shown and its ending is wired: the show steps ask for
    // a recording folder, none being set in these program folders.
    static bool shown(QProcess* p) {
        QString said;
        const bool asked = waitFor(
            [&] {
                said += QString::fromUtf8(p->readAllStandardError());
                return said.contains(QStringLiteral("当前录音目录为空"));
            },
            15000);
        EXPECT_TRUE(asked) << said.toStdString();
        return asked;
    }

    static QString finish(QProcess* p) {
        EXPECT_TRUE(p->waitForFinished(15000));
        return QString::fromUtf8(p->readAllStandardError());
    }

    QTemporaryDir home, runtime, elsewhere, data;
    // No session bus unless a test starts one: the tester's own never sees these programs.
    QString sessionBus = QStringLiteral("unix:path=/nonexistent/bus");
    std::vector<QProcess*> running;
};

}  // namespace

TEST_F(ProgramFixture, OneInstanceAtATimeAndAKilledOneDoesNotBlock) {
    QProcess* first = launch();
    ASSERT_TRUE(lockTaken());

    QProcess* second = launch();
    const QString said = finish(second);
    EXPECT_EQ(said, QStringLiteral("Corvinatone 2.21: Corvinatone 已经在运行了!\n"));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(stillRunning(first));

    first->kill();  // a crash: nothing is cleaned up
    first->waitForFinished(5000);
    QProcess* third = launch();
    ASSERT_TRUE(lockTaken());
    EXPECT_TRUE(stillRunning(third));
}

TEST_F(ProgramFixture, AnIdleProgramHasNotLoadedThePlayerTagLibOrTheWmaEncoder) {
    QProcess* p = launch();
    ASSERT_TRUE(shown(p));
    const QByteArray maps = readFile(QStringLiteral("/proc/%1/maps").arg(p->processId()));
    ASSERT_FALSE(maps.isEmpty());
    for (const char* loadedAtFirstUse : {"libvlc", "libtag", "libavcodec"})
        EXPECT_FALSE(maps.contains(loadedAtFirstUse)) << loadedAtFirstUse;
}

TEST_F(ProgramFixture, ASecondStartHandsItsAddressOverAndTheDesktopSeesWhatPlays) {
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
    sessionBus = bus.address();
    LoopbackHttpServer server;
    server.addStream("/one.mp3", LoopbackHttpServer::silentMp3Frame(), "歌手 - 一首歌");
    server.addStream("/two.mp3", LoopbackHttpServer::silentMp3Frame(), "Another - Song");
    const QString one = server.url("/one.mp3"), two = server.url("/two.mp3");
    QDBusConnection desktop = bus.connect(QStringLiteral("desktop"));
    const auto metadata = [&] {
        return busProperty(desktop, MprisRemote::kService, MprisRemote::kPath,
                           MprisRemote::kPlayerInterface, QStringLiteral("Metadata"))
            .toMap();
    };
    const auto plays = [&](const QString& address, const QString& title) {
        return waitFor(
            [&] {
                const QVariantMap shown = metadata();
                return shown.value(QStringLiteral("xesam:url")).toString() == address &&
                       shown.value(QStringLiteral("xesam:title")).toString() == title;
            },
            20000);
    };

    // The address given plays at once, and the desktop's media controls show the song.
    QProcess* first =
        launch(QStringLiteral(CORVINATONE_EXE), home.path(), QStringLiteral("--aout=dummy"), {one});
    EXPECT_TRUE(plays(one, QStringLiteral("歌手 - 一首歌")))
        << metadata().value(QStringLiteral("xesam:title")).toString().toStdString();

    // A second start with an address: the first plays it, the second ends without a word.
    QProcess* second =
        launch(QStringLiteral(CORVINATONE_EXE), home.path(), QStringLiteral("--aout=dummy"), {two});
    EXPECT_EQ(finish(second), QString());
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(plays(two, QStringLiteral("Another - Song")))
        << metadata().value(QStringLiteral("xesam:title")).toString().toStdString();

    // Without one, it still says that the program runs.
    QProcess* third = launch();
    EXPECT_EQ(finish(third), QStringLiteral("Corvinatone 2.21: Corvinatone 已经在运行了!\n"));
    EXPECT_TRUE(stillRunning(first));
}

TEST_F(ProgramFixture, MissingOrDamagedCatalogueEndsWithItsMessage) {
    QFile::remove(home.filePath(QStringLiteral("rd.cds")));
    QProcess* p = launch();
    EXPECT_TRUE(
        finish(p).startsWith(QStringLiteral("Corvinatone 2.21: 电台数据库文件rd.cds载入出错.")));
    EXPECT_EQ(p->exitCode(), 1);

    QFile damaged(home.filePath(QStringLiteral("rd.cds")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a catalogue at all");
    damaged.close();
    p = launch();
    const QString said = finish(p);
    EXPECT_TRUE(said.contains(QStringLiteral("file is shorter than its header")))
        << said.toStdString();
    EXPECT_EQ(p->exitCode(), 1);
    EXPECT_EQ(damaged.size(), 22);  // the user's file is left as it was
}

TEST_F(ProgramFixture, FindsTheCatalogueBesideTheExecutableFromAnotherFolder) {
    const QString copy = home.filePath(QStringLiteral("corvinatone"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CORVINATONE_EXE), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
    QFile leftover(home.filePath(QStringLiteral("corvinatone.old")));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();

    QProcess* p = launch(copy, QString());
    ASSERT_TRUE(lockTaken());
    EXPECT_TRUE(stillRunning(p));
    EXPECT_FALSE(leftover.exists());
}

TEST_F(ProgramFixture, APlayerThatCannotStartSaysSoAtThePlayAndTheProgramGoesOn) {
    QProcess* p =
        launch(QStringLiteral(CORVINATONE_EXE), home.path(), QStringLiteral("--no-such-vlc-option"),
               {QStringLiteral("http://127.0.0.1:9/live")});
    QString said;
    EXPECT_TRUE(waitFor(
        [&] {
            said += QString::fromUtf8(p->readAllStandardError());
            return said.contains(
                QStringLiteral("\nCorvinatone 2.2: 此软件需要Windows Media "
                               "Playe7.0以上版本支持,请检查是否已正确安装。  libvlc could not be "
                               "created"));
        },
        15000))
        << said.toStdString();
    EXPECT_TRUE(stillRunning(p));
}

TEST_F(ProgramFixture, EndingTheSessionEndsTheProgramAsExitDoesEveryTime) {
    for (int run = 0; run < 3; ++run) {
        QFile::remove(home.filePath(QStringLiteral("channel.ini")));
        QProcess* p = launch();
        ASSERT_TRUE(shown(p));
        ::kill(pid_t(p->processId()), SIGTERM);
        ASSERT_TRUE(p->waitForFinished(10000)) << "run " << run << " is still running";
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit) << "run " << run;
        EXPECT_EQ(p->exitCode(), 0) << "run " << run;
        EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("channel.ini"))))
            << "run " << run << ": the presets were not saved";
    }
}

TEST_F(ProgramFixture, TheBuiltProgramSeedsTheUsersFolderFromTheBuildsCatalogue) {
    // As scripts/run starts it: nothing beside the program, share/corvinatone in the build.
    QProcess* p = launch(QStringLiteral(CORVINATONE_EXE), QString());
    ASSERT_TRUE(lockTaken());
    EXPECT_TRUE(stillRunning(p));
    EXPECT_EQ(readFile(data.filePath(QStringLiteral("corvinatone/rd.cds"))),
              readFile(QStringLiteral(CORVINATONE_SHIPPED_CATALOGUE)));
}

TEST_F(ProgramFixture, AnInstalledProgramKeepsTheUsersFilesInTheirOwnFolder) {
    // The install layout: bin/corvinatone and share/corvinatone/rd.cds, nothing beside the program.
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/corvinatone")));
    const QString program = prefix.filePath(QStringLiteral("bin/corvinatone"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CORVINATONE_EXE), program));
    const QString shipped = prefix.filePath(QStringLiteral("share/corvinatone/rd.cds"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CORVINATONE_SHIPPED_CATALOGUE), shipped));

    // The first start makes the user's folder with a copy of the shipped catalogue.
    QProcess* p = launch(program, QString());
    ASSERT_TRUE(shown(p));
    const QString own = data.filePath(QStringLiteral("corvinatone"));
    const QString theirs = QDir(own).filePath(QStringLiteral("rd.cds"));
    EXPECT_EQ(readFile(theirs), readFile(shipped));
    EXPECT_EQ(QFile::permissions(own) & 0x0077, 0);  // the user's alone
    EXPECT_FALSE(QFile::exists(prefix.filePath(QStringLiteral("bin/rd.cds"))));
    ::kill(pid_t(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(QDir(own).filePath(QStringLiteral("channel.ini"))));

    // The user's changes stay, whatever the program's own catalogue becomes.
    StationTable table(theirs);
    table.loadFromFile(theirs);
    table.append(
        StationRow::station(QStringLiteral("Mine"), {}, {}, {}, QStringLiteral("http://m")));
    table.commitAndSave();
    const QByteArray changed = readFile(theirs);
    ASSERT_TRUE(
        writeFile(shipped, readFile(home.filePath(QStringLiteral("rd.cds")))));  // an update
    p = launch(program, QString());
    ASSERT_TRUE(lockTaken());
    EXPECT_TRUE(stillRunning(p));
    EXPECT_EQ(readFile(theirs), changed);
}

TEST(CommandLine, VersionHelpAndUsageComeWithoutADisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));  // would need a display
    const auto run = [&](const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(CORVINATONE_EXE), arguments);
        EXPECT_TRUE(p.waitForFinished(20000));
        return std::tuple{p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                          QString::fromLocal8Bit(p.readAllStandardError())};
    };
    auto [code, out, err] = run({QStringLiteral("--version")});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, QStringLiteral("corvinatone 2.21\n"));
    std::tie(code, out, err) = run({QStringLiteral("--help")});
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("Usage: corvinatone [options] [address...]")))
        << out.toStdString();
    std::tie(code, out, err) = run({QStringLiteral("--bogus")});
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(err.contains(QStringLiteral("bogus"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Usage:")));
}

TEST(CommandLine, AnAddressOrAPlaylistFileIsPlayedAtOnce) {
    const CommandLine web = CommandLine::parse({"corvinatone", "http://radio.example/live"});
    EXPECT_EQ(web.outcome, CommandLine::Outcome::run);
    EXPECT_EQ(web.address, QStringLiteral("http://radio.example/live"));
    // A file is a file: address that libvlc reads, spaces and Chinese names encoded.
    const CommandLine file = CommandLine::parse({"corvinatone", "/tmp/我的 list.m3u"});
    EXPECT_EQ(file.address, QStringLiteral("file:///tmp/%E6%88%91%E7%9A%84%20list.m3u"));
    // A relative path is taken from the folder the program was started in.
    const QString previous = QDir::currentPath();
    QTemporaryDir folder;
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const CommandLine relative = CommandLine::parse({"corvinatone", "lists/a.pls"});
    QDir::setCurrent(previous);
    EXPECT_EQ(relative.address,
              QUrl::fromLocalFile(QDir(folder.path()).filePath(QStringLiteral("lists/a.pls")))
                  .toString(QUrl::FullyEncoded));
    EXPECT_EQ(CommandLine::parse({"corvinatone"}).address, QString());
    // A file manager's selection of several files: the first plays.
    const CommandLine several = CommandLine::parse({"corvinatone", "/a.m3u", "/b.m3u"});
    EXPECT_EQ(several.outcome, CommandLine::Outcome::run);
    EXPECT_EQ(several.address, QStringLiteral("file:///a.m3u"));
}
