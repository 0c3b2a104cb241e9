// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "catalogue/CatalogueFormat.h"
#include "platform/MediaPlayer.h"
#include "platform/SingleInstanceLock.h"
#include "support/FakeDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class StartupFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid() && locks.isValid());
        previous = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void touch(const QString& name) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    int start(const std::function<int()>& body, const QString& address = {}) {
        Startup startup(dialogs, {.programFolder = folder.path(),
                                  .lockFolder = locks.path(),
                                  .downloadPage = QStringLiteral("http://srv/download.html"),
                                  .address = address,
                                  .handOver = [this](const QString& given) {
                                      handedOver << given;
                                      return firstAnswers;
                                  }});
        return startup.run(body);
    }

    QTemporaryDir folder, locks;
    QString previous;
    FakeDialogs dialogs;
    QStringList handedOver;    // what a second start gave the first
    bool firstAnswers = true;  // the first instance is reachable
};

}  // namespace

TEST_F(StartupFixture, RunsInTheProgramFolderAndRemovesTheUpdateLeftover) {
    touch(QStringLiteral("rd.cds"));
    touch(QStringLiteral("corvinatone.old"));
    QString currentInside;
    EXPECT_EQ(start([&] {
                  currentInside = QDir::currentPath();
                  return 7;
              }),
              7);
    EXPECT_EQ(QDir(currentInside).canonicalPath(), QDir(folder.path()).canonicalPath());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("corvinatone.old"))));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StartupFixture, RefusesToStartWithoutTheCatalogue) {
    bool created = false;
    EXPECT_EQ(start([&] { return created = true, 0; }), Startup::kExitFailure);
    EXPECT_FALSE(created);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral(
                  "电台数据库文件rd.cds载入出错.请将rd.cds文件复制到此程序目录下,或者至官方网站 "
                  "http://srv/download.html 下载最新版本."));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::none);

    // The lock is released: the next start gets it.
    SingleInstanceLock lock(QStringLiteral("RUNONCEMUTEX"), locks.path());
    EXPECT_TRUE(lock.tryAcquire());
}

TEST_F(StartupFixture, ASecondInstanceSaysSoAndEnds) {
    touch(QStringLiteral("rd.cds"));
    SingleInstanceLock first(QStringLiteral("RUNONCEMUTEX"), locks.path());
    ASSERT_TRUE(first.tryAcquire());
    bool created = false;
    EXPECT_EQ(start([&] { return created = true, 0; }), 0);
    EXPECT_FALSE(created);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Corvinatone 已经在运行了!"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(handedOver, QStringList{QString()});  // the first one's window is raised

    // With an address, the first instance plays it and the second ends without a word; when
    // the first cannot be reached, the second still says that one runs.
    const QString address = QStringLiteral("http://127.0.0.1:9/stream");
    EXPECT_EQ(start([&] { return created = true, 0; }, address), 0);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(handedOver.last(), address);
    firstAnswers = false;
    EXPECT_EQ(start([&] { return created = true, 0; }, address), 0);
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_FALSE(created);

    first.release();
    handedOver.clear();
    EXPECT_EQ(start([] { return 0; }, address), 0);
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(handedOver.isEmpty());
}

TEST_F(StartupFixture, FailuresWhileBuildingTheWindowsEndTheProgramWithAMessage) {
    touch(QStringLiteral("rd.cds"));
    EXPECT_EQ(start([]() -> int { throw MediaPlayerError("no player"); }), Startup::kExitFailure);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.2"));
    EXPECT_EQ(
        dialogs.shown[0].text,
        QStringLiteral(
            "此软件需要Windows Media Playe7.0以上版本支持,请检查是否已正确安装。\n\nno player"));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::error);

    // An unreadable catalogue names the reader's reason.
    EXPECT_EQ(start([]() -> int { throw CatalogueFormatError("not a catalogue file"); }),
              Startup::kExitFailure);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(QStringLiteral("电台数据库文件rd.cds载入出错.")));
    EXPECT_TRUE(dialogs.shown[1].text.endsWith(QStringLiteral("not a catalogue file")));

    // Other failures say what they are, not that the player is missing.
    EXPECT_EQ(start([]() -> int { throw std::runtime_error("no room for the window"); }),
              Startup::kExitFailure);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[2].title, QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("no room for the window"));
}

TEST_F(StartupFixture, ALockThatCannotBeTakenSaysWhy) {
    touch(QStringLiteral("rd.cds"));
    ASSERT_TRUE(QDir(locks.path()).mkdir(QStringLiteral("RUNONCEMUTEX")));  // a folder in its place
    bool created = false;
    EXPECT_EQ(start([&] { return created = true, 0; }), Startup::kExitFailure);
    EXPECT_FALSE(created);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("RUNONCEMUTEX")));
    EXPECT_FALSE(dialogs.shown[0].text.contains(QStringLiteral("Windows Media")));

    // Without a runtime folder the lock lives in the user's own data folder, never in /tmp; a
    // link planted in its place is not followed.
    QTemporaryDir data;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), dataHome = qgetenv("XDG_DATA_HOME");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const QString own = SingleInstanceLock::defaultFolder();
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(own, data.filePath(QStringLiteral("corvinatone")));
    EXPECT_EQ(QFile::permissions(own) & 0x0077, 0);  // nobody else may write there
    const QString target = data.filePath(QStringLiteral("target"));
    ASSERT_TRUE(QFile::link(target, QDir(own).filePath(QStringLiteral("RUNONCEMUTEX"))));
    SingleInstanceLock planted(QStringLiteral("RUNONCEMUTEX"), own);
    EXPECT_THROW(planted.tryAcquire(), std::runtime_error);
    EXPECT_FALSE(QFile::exists(target));
}
