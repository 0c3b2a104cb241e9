// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"
#include "setting/IniFile.h"
#include "setting/OptionsStore.h"
#include "support/TestHelpers.h"

#include <QFile>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class OptionsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&options, &OptionsStore::remindLoaded,
                         [this](const QString& text) { panel = text; });
        QObject::connect(&options, &OptionsStore::styleSelected, [this](int s) { styles << s; });
        QObject::connect(&options, &OptionsStore::missionChanged,
                         [this](bool m) { missions << m; });
    }

    QString path() const { return dir.filePath(QStringLiteral("option.ini")); }
    void writeOptions(const QByteArray& text) { ASSERT_TRUE(writeFile(path(), text)); }
    QByteArray fileText() const { return readFile(path()); }

    QTemporaryDir dir;
    OptionsStore options{path()};
    QString panel;
    QList<int> styles;
    QList<bool> missions;
};

}  // namespace

TEST_F(OptionsFixture, StartsFromTheDefaultsWithoutAFile) {
    options.loadini();
    EXPECT_FALSE(options.mission);
    EXPECT_EQ(panel, QStringLiteral("当前无任务"));
    EXPECT_EQ(options.mute, OptionsStore::kNoSelection);
    EXPECT_EQ(options.muteHotKey, 0);  // no mute hot key
    EXPECT_EQ(options.style, 0);       // Mp3
    EXPECT_EQ(styles, QList<int>{0});
    EXPECT_FALSE(options.play);
    EXPECT_EQ(options.db, QStringLiteral("20121202"));
    EXPECT_EQ(options.record, QString());
    EXPECT_FALSE(options.update);
    EXPECT_TRUE(options.updatedb);
    EXPECT_FALSE(options.close);
    EXPECT_FALSE(options.open);
    EXPECT_EQ(options.kind, 0);
    EXPECT_EQ(OptionsStore::powerActionCaption(options.kind), QStringLiteral("关闭电脑"));
    EXPECT_EQ(options.time, QTime(0, 0, 0));
    EXPECT_TRUE(missions.isEmpty());
}

TEST_F(OptionsFixture, ReadsValuesAndFallsBackToThoseInEffect) {
    writeOptions(
        "[info]\nmission=5\nmute=10\nstyle=1\nplay=1\ndb=20130105\nrecord=/home/用户/录音\n"
        "kind=2\ntime=8:05\nupdatedb=0\n");
    options.loadini();
    EXPECT_TRUE(options.mission);
    EXPECT_EQ(missions, QList<bool>{true});
    // No remind line: the first load names power action 0, because kind is read later.
    EXPECT_EQ(panel, QStringLiteral("关闭电脑----已启动"));
    EXPECT_EQ(options.muteHotKey, 123);  // F12
    EXPECT_EQ(options.style, 1);
    EXPECT_EQ(options.record, QStringLiteral("/home/用户/录音"));
    EXPECT_EQ(options.kind, 2);
    EXPECT_EQ(options.time, QTime(8, 5));
    EXPECT_FALSE(options.updatedb);

    // Later loads fall back to the values in effect; unreadable values count as absent.
    writeOptions("[info]\nmission=yes\nmute=11\nstyle=7\ntime=25:99:00\nkind=x\n");
    options.loadini();
    EXPECT_TRUE(options.mission);
    EXPECT_EQ(panel, QStringLiteral("电脑休眠----已启动"));
    EXPECT_EQ(options.mute, OptionsStore::kNoSelection);
    EXPECT_EQ(options.muteHotKey, 123);  // a value outside 0 to 10 keeps the key in effect
    EXPECT_EQ(options.style, OptionsStore::kNoSelection);
    EXPECT_EQ(styles, QList<int>{1});
    EXPECT_EQ(options.time, QTime(8, 5));
    EXPECT_EQ(options.kind, 2);
    EXPECT_EQ(options.db, QStringLiteral("20130105"));
    EXPECT_EQ(options.record, QStringLiteral("/home/用户/录音"));
}

TEST_F(OptionsFixture, AHandEditedRemindShowsVerbatimUntilTheNextSave) {
    writeOptions("[info]\nmission=0\nremind=  我的提醒 = 自己写的  \n");
    options.loadini();
    EXPECT_EQ(panel, QStringLiteral("我的提醒 = 自己写的"));
    options.saveini();
    options.loadini();
    EXPECT_EQ(panel, QStringLiteral("当前无任务"));
}

TEST_F(OptionsFixture, SavingWritesEveryKeyInOrderAndTwiceGivesTheSameFile) {
    options.loadini();
    options.record = QStringLiteral("/媒体/录音 文件夹");
    options.time = QTime(23, 5, 9);
    options.saveini();
    EXPECT_EQ(fileText(),
              QByteArray("[info]\nmission=0\nopen=0\nstyle=0\nkind=0\nplay=0\nupdate=0\n"
                         "updatedb=1\nclose=0\ntime=23:05:09\nmute=-1\ndb=20121202\n"
                         "record=/媒体/录音 文件夹\nremind=当前无任务\n"));
    const QByteArray first = fileText();
    options.saveini();
    EXPECT_EQ(fileText(), first);

    OptionsStore again(path());
    again.loadini();
    EXPECT_EQ(again.record, options.record);
    EXPECT_EQ(again.time, options.time);
}

TEST_F(OptionsFixture, SavingKeepsTheLinesOfAnExistingFile) {
    writeOptions(
        "; 用户的注释\r\n[other]\r\nkeep=1\r\n\r\n[INFO]\r\nRecord = "
        "/old\r\nmute=3\r\n\r\n[tail]\r\nx=y\r\n");
    options.loadini();
    EXPECT_EQ(options.muteHotKey, 116);
    options.mission = true;
    options.kind = 1;
    options.saveini();
    EXPECT_EQ(fileText(),
              QByteArray(
                  "; 用户的注释\r\n[other]\r\nkeep=1\r\n\r\n[INFO]\r\nRecord=/old\r\nmute=3\r\n"
                  "mission=1\r\nopen=0\r\nstyle=0\r\nkind=1\r\nplay=0\r\nupdate=0\r\nupdatedb=1\r\n"
                  "close=0\r\ntime=00:00:00\r\ndb=20121202\r\nremind=电脑待机----已启动\r\n\r\n"
                  "[tail]\r\nx=y\r\n"));
}

TEST_F(OptionsFixture, AFailedSaveThrowsAndKeepsTheFile) {
    writeOptions("[info]\nplay=1\n");
    OptionsStore elsewhere(dir.filePath(QStringLiteral("gone/option.ini")));
    EXPECT_THROW(elsewhere.saveini(), FileWriteError);
    EXPECT_EQ(fileText(), QByteArray("[info]\nplay=1\n"));
}

TEST(IniFile, ReadsCaseBlindKeysAndKeepsValuesWhole) {
    IniFile ini = IniFile::fromBytes("\xEF\xBB\xBF[Music]\n1=BBC World Service UK\n2=\nx = a=b\n");
    EXPECT_EQ(ini.value(QStringLiteral("music"), QStringLiteral("1")),
              QStringLiteral("BBC World Service UK"));
    EXPECT_EQ(ini.value(QStringLiteral("music"), QStringLiteral("2")), QString());
    EXPECT_EQ(ini.value(QStringLiteral("music"), QStringLiteral("X")), QStringLiteral("a=b"));
    EXPECT_EQ(ini.value(QStringLiteral("music"), QStringLiteral("3")), std::nullopt);
    EXPECT_EQ(ini.value(QStringLiteral("musci"), QStringLiteral("1")), std::nullopt);
    ini.setValue(QStringLiteral("musci"), QStringLiteral("status"), QStringLiteral("1"));
    ini.setValue(QStringLiteral("music"), QStringLiteral("3"), QStringLiteral("两行\n文本"));
    EXPECT_EQ(ini.toBytes(), QByteArray("\xEF\xBB\xBF[Music]\n1=BBC World Service UK\n2=\nx = a=b\n"
                                        "3=两行 文本\n\n[musci]\nstatus=1\n"));
}
