// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace {

StationRow station(const QString& name, const QString& country = QStringLiteral("美国"),
                   const QString& category = QStringLiteral("新闻")) {
    return StationRow::station(name, country, category, QStringLiteral("128kbps"),
                               QStringLiteral("http://h/") + name);
}

// A table of the given rows, saved to and loaded from a catalogue file in a temporary folder.
class TableFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path() const { return dir.filePath(QStringLiteral("rd.cds")); }

    StationTable& make(const std::vector<StationRow>& rows) {
        StationTable writer(path());
        for (const StationRow& row : rows)
            writer.append(row);
        writer.commitAndSave();
        table.loadFromFile(path());
        return table;
    }

    QStringList viewNames() const {
        QStringList names;
        for (int i = 0; i < table.viewCount(); ++i)
            names << table.row(table.viewRow(i)).text(Field::stationName);
        return names;
    }

    QTemporaryDir dir;
    StationTable table{path()};
};

}  // namespace

TEST_F(TableFixture, SavingAnUnchangedTableReproducesTheFile) {
    StationRow task = station(QStringLiteral("Task FM"));
    task.setText(Field::planType, QStringLiteral("定时播放"));
    make({station(QStringLiteral("A")), task});
    const QByteArray before = readFile(path());
    table.commitAndSave();
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(table.totalCount(), 2);
    EXPECT_EQ(table.currentIndex(), 0);  // the first row is current after a load
    EXPECT_EQ(table.stationCountText(), QStringLiteral("当前共有电台2个"));
}

TEST_F(TableFixture, NameFilterIsACaseBlindLiteralPrefix) {
    make({station(QStringLiteral("Radio One")), station(QStringLiteral("RADIO two")),
          station(QStringLiteral("radio*3")), station(QStringLiteral("My Radio")),
          station(QStringLiteral("Rock'n radio")), station(QStringLiteral("Über FM"))});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("radio")));
    EXPECT_EQ(viewNames(), (QStringList{"Radio One", "RADIO two", "radio*3"}));
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("radio*")));
    EXPECT_EQ(viewNames(), QStringList{"radio*3"});  // "*" is no wildcard
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("rock'")));
    EXPECT_EQ(viewNames(), QStringList{"Rock'n radio"});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("über")));
    EXPECT_EQ(viewNames(), QStringList{"Über FM"});
    table.setFilter(ViewFilter::nameBeginsWith(QString()));
    EXPECT_EQ(table.viewCount(), 6);
}

TEST_F(TableFixture, EqualityFiltersIgnoreCaseAndTreatNullAsEmpty) {
    StationRow fav =
        station(QStringLiteral("Fav"), QStringLiteral("法国"), QStringLiteral("Disco"));
    fav.setText(Field::favourite, QStringLiteral("★"));
    StationRow task = station(QStringLiteral("Task"), QString());
    task.setText(Field::planType, QStringLiteral("播放并录音"));
    make({fav, task,
          station(QStringLiteral("Plain"), QStringLiteral("美国"), QStringLiteral("disco"))});

    table.setFilter(ViewFilter::category(QStringLiteral("DISCO")));
    EXPECT_EQ(viewNames(), (QStringList{"Fav", "Plain"}));
    table.setFilter(ViewFilter::favourite(QStringLiteral("★")));
    EXPECT_EQ(viewNames(), QStringList{"Fav"});
    table.setFilter(ViewFilter::tasks());
    EXPECT_EQ(viewNames(), QStringList{"Task"});
    table.setFilter(ViewFilter::country(QStringLiteral("法国")));
    EXPECT_EQ(viewNames(), QStringList{"Fav"});
    table.setFilter(ViewFilter::country(QString()));  // matches the row without a country
    EXPECT_EQ(viewNames(), QStringList{"Task"});
    table.setFilter(ViewFilter::category(QStringLiteral("喜剧频道")));
    EXPECT_EQ(table.viewCount(), 0);
    EXPECT_TRUE(table.atEnd());
    EXPECT_EQ(table.currentIndex(), -1);
    EXPECT_EQ(table.text(Field::stationName), QString());
}

TEST_F(TableFixture, SortIsStableAscendingAndOutlivesFilterChanges) {
    StationRow early = station(QStringLiteral("Early"), QStringLiteral("中国"));
    early.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(6, 0)));
    StationRow late = station(QStringLiteral("Late"), QStringLiteral("上海"));
    late.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(22, 0)));
    make({station(QStringLiteral("b1"), QStringLiteral("中国")), late, early,
          station(QStringLiteral("b2"), QStringLiteral("北京")),
          station(QStringLiteral("b3"), QStringLiteral("中国"))});

    table.setSortField(Field::country);  // pinyin: Beijing, Shanghai, Zhongguo
    EXPECT_EQ(viewNames(), (QStringList{"b2", "Late", "b1", "Early", "b3"}));
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("b")));
    EXPECT_EQ(viewNames(), (QStringList{"b2", "b1", "b3"}));
    table.setFilter(ViewFilter::all());
    table.setSortField(Field::startTime);  // null first, in stored order
    EXPECT_EQ(viewNames(), (QStringList{"b1", "b2", "b3", "Early", "Late"}));

    // A changed sort value re-orders the view after the save; the stored order stays.
    table.moveTo(4);
    table.setDateTime(Field::startTime, std::nullopt);
    table.commitAndSave();
    EXPECT_EQ(viewNames(), (QStringList{"b1", "Late", "b2", "b3", "Early"}));
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("Late"));
    EXPECT_EQ(table.row(1).text(Field::stationName), QStringLiteral("Late"));
    table.setSortField(std::nullopt);
    EXPECT_EQ(viewNames(), (QStringList{"b1", "Late", "Early", "b2", "b3"}));
}

TEST_F(TableFixture, NavigatesTheViewAndReportsItsEnd) {
    make({station(QStringLiteral("x1")), station(QStringLiteral("a1")),
          station(QStringLiteral("a2")), station(QStringLiteral("a3"))});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("a")));
    EXPECT_EQ(table.viewPosition(), 0);
    table.prior();  // already on the first row
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("a1"));
    table.next();
    table.next();
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("a3"));
    EXPECT_FALSE(table.atEnd());
    table.next();
    EXPECT_TRUE(table.atEnd());
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("a3"));
    table.moveTo(1);
    EXPECT_FALSE(table.atEnd());
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("a2"));
    table.first();
    EXPECT_EQ(table.currentIndex(), 1);
}

TEST_F(TableFixture, AppendDeleteAndSaveWhileFiltered) {
    make({station(QStringLiteral("a1")), station(QStringLiteral("b1")),
          station(QStringLiteral("a2"))});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("a")));
    table.deleteCurrent();  // a1: the next row of the view becomes current
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("a2"));
    EXPECT_EQ(table.stationCountText(), QStringLiteral("当前共有电台2个"));

    table.append(station(QStringLiteral("新台")));
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("新台"));
    table.commitAndSave();  // writes every row, not just the view
    StationTable reread(path());
    reread.loadFromFile(path());
    ASSERT_EQ(reread.totalCount(), 3);
    EXPECT_EQ(reread.row(0).text(Field::stationName), QStringLiteral("b1"));
    EXPECT_EQ(reread.row(2).text(Field::stationName), QStringLiteral("新台"));

    // A row that stops matching the filter leaves the view once saved.
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("a")));
    table.setText(Field::stationName, QStringLiteral("z2"));
    table.commitAndSave();
    EXPECT_EQ(table.viewCount(), 0);
    EXPECT_TRUE(table.atEnd());
    EXPECT_THROW(table.deleteCurrent(), StationTableError);
}

TEST_F(TableFixture, RemovingATaskKeepsItsOtherPlanFields) {
    StationRow task = station(QStringLiteral("T"));
    task.setText(Field::planType, QStringLiteral("定时播放"));
    task.setText(Field::period, QStringLiteral("星期一"));
    task.setInteger(Field::intervalSeconds, 60);
    make({task, station(QStringLiteral("S"))});
    SchedulerSnapshot snapshot;
    snapshot.rows.push_back(station(QStringLiteral("from before")));
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("S")));  // the task out of view
    table.snapshotForScheduler(snapshot);
    ASSERT_EQ(snapshot.rows.size(), 1u);  // the rows with a task, whatever the view; only them
    EXPECT_EQ(snapshot.rows[0].text(Field::stationName), QStringLiteral("T"));

    table.setFilter(ViewFilter::tasks());
    table.setFieldText(QStringLiteral("计划类型"), QString());
    table.commitAndSave();
    EXPECT_EQ(table.viewCount(), 0);
    EXPECT_EQ(table.row(0).text(Field::period), QStringLiteral("星期一"));
    EXPECT_EQ(table.row(0).integer(Field::intervalSeconds), 60);
    EXPECT_TRUE(snapshot.rows[0].isTask());  // the snapshot changes only when refreshed
    EXPECT_THROW(table.fieldText(QStringLiteral("电台")), StationTableError);
}

TEST_F(TableFixture, CutsOverlongTextsOnACharacterBoundary) {
    make({station(QStringLiteral("x"))});
    table.setText(Field::stationName, QString(254, u'a') + QStringLiteral("\U0001F4FB"));
    EXPECT_EQ(table.text(Field::stationName), QString(254, u'a'));  // the pair is not split
    table.setFieldText(QStringLiteral("编码率"), QString(80, u'9'));
    EXPECT_EQ(table.text(Field::bitRate).size(), 50);
    table.commitAndSave();
    StationTable reread(path());
    reread.loadFromFile(path());
    EXPECT_EQ(reread.row(0).text(Field::bitRate), QString(50, u'9'));
}

TEST_F(TableFixture, AFailedLoadKeepsTheTable) {
    make({station(QStringLiteral("keep"))});
    QFile damaged(dir.filePath(QStringLiteral("bad.cds")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(readFile(path()).left(400));
    damaged.close();
    EXPECT_THROW(table.loadFromFile(damaged.fileName()), CatalogueFormatError);
    EXPECT_THROW(table.loadFromFile(dir.filePath(QStringLiteral("missing.cds"))),
                 CatalogueFormatError);
    EXPECT_EQ(table.totalCount(), 1);
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("keep"));
}

TEST_F(TableFixture, AFailedSaveKeepsTheOldFileAndReportsIt) {
    make({station(QStringLiteral("old"))});
    const QByteArray before = readFile(path());
    table.setText(Field::stationName, QString(200, u'新'));

    // Disk full: the process may not grow a file past a few bytes. Done in a child so the
    // limit and its signal never touch the test runner.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            table.commitAndSave();
        } catch (const FileWriteError& e) {
            // The system's reason, not Qt's "Unknown error" for the short write before it.
            _exit(std::strstr(e.what(), std::strerror(EFBIG)) ? 42 : 43);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << status;
    QFile full(QStringLiteral("/dev/full"));
    if (full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        try {
            writeAll(full, "x", 1);
            ADD_FAILURE() << "a full disk took the write";
        } catch (const FileWriteError& e) {
            EXPECT_TRUE(
                QString::fromUtf8(e.what()).endsWith(QString::fromUtf8(std::strerror(ENOSPC))))
                << e.what();
        }
    }
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"rd.cds"});  // no leftovers

    // A folder we may not write to (root may write anywhere, so only for other users).
    if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_THROW(table.commitAndSave(), FileWriteError);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(readFile(path()), before);
    }

    // The program folder is gone.
    StationTable orphan(dir.filePath(QStringLiteral("gone/rd.cds")));
    orphan.append(station(QStringLiteral("x")));
    try {
        orphan.commitAndSave();
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const FileWriteError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(orphan.savePath())) << e.what();
    }
    // The change stays in memory and a later save succeeds.
    EXPECT_EQ(table.text(Field::stationName), QString(200, u'新'));
    table.commitAndSave();
    EXPECT_NE(readFile(path()), before);
}
