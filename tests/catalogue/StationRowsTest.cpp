// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue's compact rows as the table keeps them: rows read in place and rows changed since,
// saved byte for byte; the memory a file may cost; and saves on the saver's thread.
#include "CataloguePacket.h"
#include "catalogue/StationTable.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

StationRow station(const QString& name) {
    return StationRow::station(name, QStringLiteral("中国"), QStringLiteral("流行"),
                               QStringLiteral("128kbps"), QStringLiteral("http://h/") + name);
}

// A catalogue file of the rows exactly as given, nothing cut. A file made elsewhere may have a
// wider name field than ours.
QByteArray fileOf(const std::vector<StationRow>& rows, bool widerName = false) {
    static const std::vector<FieldDescriptor> wider = [] {
        std::vector<FieldDescriptor> fields = stationDescriptors();
        fields[0] = FieldDescriptor::wideString(fieldName(Field::stationName), 400);
        return fields;
    }();
    PacketWriter writer(widerName ? wider : stationDescriptors(), {}, rows.size());
    for (const StationRow& row : rows)
        writer.writeRow(row.values.data());
    return writer.finish();
}

std::vector<StationRow> rowsOf(const StationTable& table) {
    std::vector<StationRow> rows;
    for (int i = 0; i < table.totalCount(); ++i)
        rows.push_back(table.row(i).toRow());
    return rows;
}

class RowsFixture : public ::testing::Test {
  protected:
    QString path() const { return dir.filePath(QStringLiteral("rd.cds")); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(RowsFixture, RowsReadInPlaceAndRowsChangedSinceSaveByteForByte) {
    StationRow task = station(QStringLiteral("任务台"));
    task.setText(Field::planType, QStringLiteral("播放并录音"));
    task.setText(Field::finishAction, QStringLiteral("关机"));
    task.setText(Field::period, QStringLiteral("星期三"));
    task.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(6, 30)));
    task.setDateTime(Field::endTime, CdsDateTime{-0.0});  // the sign survives the round trip
    task.setInteger(Field::intervalSeconds, -5);
    // From elsewhere: a name longer than its field, with a surrogate pair across the cut, and a
    // bit rate with a one-byte length prefix that leaves the texts after it on odd offsets.
    StationRow overlong = station(QString());
    overlong.values[size_t(Field::stationName)] =
        QString(254, u'名') + QStringLiteral("\U0001F4FB") + QStringLiteral("tail");
    overlong.values[size_t(Field::bitRate)] = QStringLiteral("32k");
    StationRow bare;  // every field null
    // Addresses all in Latin-1 are kept in one byte a character: one of odd length (é) before
    // the task's texts, which must still be found.
    StationRow latin = station(QStringLiteral("café"));
    latin.setText(Field::planType, QStringLiteral("定时播放"));
    latin.setText(Field::period, QStringLiteral("星期一"));
    StationRow wide = latin;  // an address beyond Latin-1 stays UTF-16
    wide.setText(Field::streamUrl, QStringLiteral("http://h/电台"));
    ASSERT_TRUE(writeFile(
        path(), fileOf({station(QStringLiteral("A")), task, overlong, bare, latin, wide}, true)));

    StationTable table(path());
    table.loadFromFile(path());
    ASSERT_EQ(table.totalCount(), 6);
    EXPECT_EQ(table.row(4).toRow().values, latin.values);
    EXPECT_EQ(table.row(5).toRow().values, wide.values);
    EXPECT_EQ(table.row(4).textView(Field::streamUrl), QStringLiteral("http://h/café"));
    EXPECT_EQ(table.row(4).textView(Field::period), QStringLiteral("星期一"));
    EXPECT_EQ(table.row(2).text(Field::streamUrl), QStringLiteral("http://h/"));
    EXPECT_EQ(table.row(2).text(Field::stationName), QString(254, u'名'));  // the pair not split
    EXPECT_EQ(table.row(2).text(Field::bitRate), QStringLiteral("32k"));
    EXPECT_EQ(table.row(1).toRow().values, task.values);
    EXPECT_TRUE(table.row(1).isTask());
    EXPECT_FALSE(table.row(3).dateTime(Field::startTime));
    EXPECT_FALSE(table.row(3).integer(Field::intervalSeconds));
    EXPECT_TRUE(table.row(3).textView(Field::stationName).isEmpty());

    // Unchanged, the file comes back as read, except for the cut name.
    std::vector<StationRow> expected = {
        station(QStringLiteral("A")), task, overlong, bare, latin, wide};
    expected[2].setText(Field::stationName, QString(254, u'名'));
    EXPECT_EQ(table.toBytes(), fileOf(expected));

    // Changed, added and deleted rows among rows read in place.
    table.moveTo(0);
    table.setText(Field::favourite, QStringLiteral("★"));
    expected[0].setText(Field::favourite, QStringLiteral("★"));
    table.setText(Field::favourite, QString());  // changed twice: the row keeps one copy
    expected[0].setText(Field::favourite, QString());
    table.setText(Field::stationName, QStringLiteral("A2"));
    expected[0].setText(Field::stationName, QStringLiteral("A2"));
    table.append(station(QStringLiteral("新台")));
    expected.push_back(station(QStringLiteral("新台")));
    table.moveTo(3);  // bare
    table.deleteCurrent();
    expected.erase(expected.begin() + 3);
    table.moveTo(1);
    table.setInteger(Field::intervalSeconds, 60);
    expected[1].setInteger(Field::intervalSeconds, 60);
    table.commitAndSave();
    EXPECT_EQ(readFile(path()), fileOf(expected));

    StationTable reread(path());
    reread.loadFromFile(path());
    EXPECT_EQ(reread.toBytes(), fileOf(expected));
    const std::vector<StationRow> back = rowsOf(reread);
    ASSERT_EQ(back.size(), expected.size());
    for (size_t i = 0; i < back.size(); ++i)
        EXPECT_EQ(back[i].values, expected[i].values) << i;
}

TEST_F(RowsFixture, SortKeysFollowChangedAddedAndDeletedRows) {
    ASSERT_TRUE(
        writeFile(path(), fileOf({station(QStringLiteral("北京")), station(QStringLiteral("Zulu")),
                                  station(QStringLiteral("上海"))})));
    const auto sortedNames = [](StationTable& table) {
        table.setSortField(Field::stationName);
        QStringList out;
        for (int i = 0; i < table.viewCount(); ++i)
            out << table.row(table.viewRow(i)).text(Field::stationName);
        return out;
    };
    StationTable table(path());
    table.loadFromFile(path());
    EXPECT_EQ(sortedNames(table).size(), 3);  // the keys are made here, and kept
    table.selectRow(1);
    table.setText(Field::stationName, QStringLiteral("安徽"));  // from last to first
    table.append(station(QStringLiteral("阿里")));
    table.selectRow(0);
    table.deleteCurrent();
    table.commitAndSave();
    // The same order as keys made afresh for the saved rows.
    StationTable fresh(path());
    fresh.loadFromFile(path());
    EXPECT_EQ(sortedNames(table), sortedNames(fresh));
    EXPECT_EQ(sortedNames(table),
              (QStringList{"阿里", "安徽", "上海"}));  // a li, an hui, shang hai
}

TEST_F(RowsFixture, ACopyKeepsTheRowsOfItsMomentAcrossBlocks) {
    // Rows over three blocks of the table's storage, with a task now and then.
    std::vector<StationRow> model;
    for (int i = 0; i < 49'151; ++i) {  // three blocks of 16,384 less one row
        StationRow row = station(QStringLiteral("S%1").arg(i));
        if (i % 1000 == 0)
            row.setText(Field::planType, QStringLiteral("定时播放"));
        model.push_back(row);
    }
    const QByteArray file = fileOf(model);
    StationRows rows = StationRows::read(file);
    const StationRows copy = rows;  // what a save writes

    rows.erase(100);  // across every block after the first
    model.erase(model.begin() + 100);
    rows.replace(16'390, station(QStringLiteral("changed")));
    model[16'390] = station(QStringLiteral("changed"));
    rows.erase(16'390);  // an owned row
    model.erase(model.begin() + 16'390);
    for (int i = 0; i < 5; ++i) {  // the last block fills up and a fourth begins
        rows.append(station(QStringLiteral("new %1").arg(i)));
        model.push_back(station(QStringLiteral("new %1").arg(i)));
    }
    for (int i = 0; i < 2; ++i) {  // the fourth block empties and goes
        rows.erase(0);
        model.erase(model.begin());
    }
    rows.append(station(QStringLiteral("last")));
    model.push_back(station(QStringLiteral("last")));

    ASSERT_EQ(rows.size(), model.size());
    for (size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(rows.row(i).values, model[i].values) << i;
    PacketWriter original(stationDescriptors(), {}, copy.size());
    copy.writeTo(original);
    EXPECT_EQ(original.finish(), file);  // the copy is untouched
    PacketWriter changed(stationDescriptors(), {}, rows.size());
    rows.writeTo(changed);
    EXPECT_EQ(changed.finish(), fileOf(model));

    // Reading the file again, or saving at once, comes after a save still under way.
    ASSERT_TRUE(writeFile(path(), file));
    StationTable table(path());
    table.loadFromFile(path());
    table.setText(Field::stationName, QStringLiteral("pending"));
    table.saveInBackground();
    table.loadFromFile(path());
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("pending"));
    table.setText(Field::stationName, QStringLiteral("second"));
    table.saveInBackground();
    table.setText(Field::stationName, QStringLiteral("third"));
    table.commitAndSave();
    StationTable reread(path());
    reread.loadFromFile(path());
    EXPECT_EQ(reread.text(Field::stationName), QStringLiteral("third"));
}

TEST_F(RowsFixture, AFileIsReadWithinFourTimesItsSizeOrRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#else
    // Five million empty rows fit in 20 MB on disk, and would take hundreds of MB as rows.
    {
        PacketWriter writer(stationDescriptors(), {}, 5'000'000);
        const std::array<FieldRef, kFieldCount> empty{};
        for (int i = 0; i < 5'000'000; ++i)
            writer.writeRow(empty.data());
        ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("hostile.cds")), writer.finish()));
    }
    // A real catalogue large enough that the constant is small beside four times its size.
    {
        PacketWriter writer(stationDescriptors(), {}, 600'000);
        for (int i = 0; i < 600'000; ++i) {
            const StationRow row = station(QStringLiteral("Station %1").arg(i));
            writer.writeRow(row.values.data());
        }
        ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("real.cds")), writer.finish()));
    }
    // Each is read in a child whose address space may grow by four times the file and 32 MB,
    // the bound the reader keeps to.
    const auto loadUnderLimit = [&](const QString& name, bool raw) {
        const QString file = dir.filePath(name);
        const pid_t child = fork();
        if (child == 0) {
            std::ifstream status("/proc/self/status");
            std::string line;
            long vmKb = 0;
            while (std::getline(status, line))
                if (line.rfind("VmSize:", 0) == 0)
                    vmKb = std::stol(line.substr(7));
            const rlim_t bound =
                rlim_t(vmKb) * 1024 + 4 * rlim_t(QFileInfo(file).size()) + (32u << 20);
            const rlimit limit{bound, bound};
            setrlimit(RLIMIT_AS, &limit);
            try {
                if (raw) {
                    CataloguePacket::read(readFile(file));
                } else {
                    StationTable table(file);
                    table.loadFromFile(file);
                }
                _exit(0);  // read within the bound
            } catch (const CatalogueFormatError& e) {
                _exit(std::strstr(e.what(), "memory") ? 10 : 11);  // refused, saying why
            } catch (const std::bad_alloc&) {
                _exit(12);
            }
        }
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + status;
    };
    EXPECT_EQ(loadUnderLimit(QStringLiteral("hostile.cds"), false), 10);
    EXPECT_EQ(loadUnderLimit(QStringLiteral("hostile.cds"), true), 10);
    EXPECT_EQ(loadUnderLimit(QStringLiteral("real.cds"), false), 0);
#endif
}

TEST_F(RowsFixture, BackgroundSavesWriteTheNewestRowsAndReportFailures) {
    ASSERT_TRUE(writeFile(path(), fileOf({station(QStringLiteral("A"))})));
    {
        StationTable table(path());
        table.loadFromFile(path());
        // Saves asked for faster than they are written: the file ends with the last rows.
        for (int i = 0; i < 20; ++i) {
            table.setText(Field::stationName, QStringLiteral("name %1").arg(i));
            table.saveInBackground();
        }
        table.saver().wait();
        EXPECT_EQ(readFile(path()), table.toBytes());
        EXPECT_EQ(table.text(Field::stationName), QStringLiteral("name 19"));

        // A failure comes back as a message naming the file; the rows stay as they are.
        const QString blocked = dir.filePath(QStringLiteral("blocked"));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("blocked/rd.cds")));
        StationTable other(blocked + QStringLiteral("/rd.cds"));
        other.append(station(QStringLiteral("B")));
        QStringList failures;
        QObject::connect(&other.saver(), &CatalogueSaver::failed,
                         [&](const QString& message) { failures << message; });
        other.saveInBackground();
        EXPECT_TRUE(waitFor([&] { return !failures.isEmpty(); }, 5000));
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures[0].contains(QStringLiteral("blocked/rd.cds")))
            << failures[0].toStdString();
        EXPECT_EQ(other.totalCount(), 1);

        // A save still running when the table goes is finished first.
        table.setText(Field::stationName, QStringLiteral("last"));
        table.saveInBackground();
    }
    StationTable reread(path());
    reread.loadFromFile(path());
    EXPECT_EQ(reread.text(Field::stationName), QStringLiteral("last"));
}
