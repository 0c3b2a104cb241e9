#include "app/Startup.h"
#include "catalogue/CataloguePacket.h"
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
    int start(const std::function<int()>& body) {
        Startup startup(dialogs,
                        {folder.path(), locks.path(), QStringLiteral("http://srv/download.html")});
        return startup.run(body);
    }

    QTemporaryDir folder, locks;
    QString previous;
    FakeDialogs dialogs;
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
    first.release();
    EXPECT_EQ(start([] { return 0; }), 0);
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(StartupFixture, FailuresWhileBuildingTheWindowsEndTheProgramWithAMessage) {
    touch(QStringLiteral("rd.cds"));
    EXPECT_EQ(start([]() -> int { throw std::runtime_error("no player"); }), Startup::kExitFailure);
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
}
