// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueStats.h"
#include "CatalogueText.h"
#include "catalogue/StationTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode;
    QString out, err;
};

ToolRun cds(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(CORVINATONE_CDS_EXE), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Rows that exercise every kind of value the text forms must carry.
CataloguePacket trickyPacket() {
    StationRow a = StationRow::station(
        QStringLiteral("Quote \" back\\slash, comma"), QStringLiteral("中国"),
        QStringLiteral("新闻"), QStringLiteral("32kbps"), QStringLiteral("http://a/\U0001F4FB"));
    a.setText(Field::finishAction, QStringLiteral("two\nlines\ttab"));
    a.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(8, 0)));
    a.setDateTime(Field::endTime, CdsDateTime{0.5});  // no text form: kept as milliseconds
    a.setInteger(Field::intervalSeconds, -2147483647 - 1);
    StationRow b;
    b.setText(Field::stationName, QStringLiteral("只有名字"));
    b.setInteger(Field::intervalSeconds, 0);
    CataloguePacket packet;
    packet.fields = stationDescriptors();
    for (const StationRow* row : {&a, &b})
        packet.values.insert(packet.values.end(), row->values.begin(), row->values.end());
    return packet;
}

}  // namespace

TEST(CatalogueText, DumpThenBuildReproducesTheFile) {
    const CataloguePacket packet = trickyPacket();
    const QByteArray jsonl = CatalogueText::toJsonLines(packet);
    EXPECT_TRUE(jsonl.startsWith(
        QStringLiteral("{\"电台名称\":\"Quote \\\" back\\\\slash, comma\",\"电台国家\":\"中国\"")
            .toUtf8()));
    EXPECT_TRUE(jsonl.contains("\"开始时间\":\"1899-12-30T08:00:00.000\",\"结束时间\":0.5,"));
    EXPECT_TRUE(jsonl.contains(QStringLiteral("\"完成动作\":\"two\\nlines\\ttab\"").toUtf8()));
    EXPECT_TRUE(jsonl.contains("\"间隔\":-2147483648}"));
    EXPECT_TRUE(jsonl.contains(QStringLiteral("\U0001F4FB").toUtf8()));  // UTF-8, not escaped
    EXPECT_EQ(CatalogueText::fromJsonLines(jsonl).write(), packet.write());
}

TEST(CatalogueText, BuildsFromCsvAndNamesTheLineOfEachFault) {
    const QByteArray csv =
        "\xEF\xBB\xBF电台名称,电台地址,开始时间,间隔\r\n"
        "\"Comma, \"\"quoted\"\"\",http://a,2012-12-09T09:05:00,60\r\n"
        "\"Two\nlines\",,,\r\n";
    const CataloguePacket packet = CatalogueText::fromCsv(csv);
    ASSERT_EQ(packet.rowCount(), 2u);
    EXPECT_EQ(std::get<QString>(packet.at(0, 0)), QStringLiteral("Comma, \"quoted\""));
    EXPECT_EQ(std::get<CdsDateTime>(packet.at(0, 4)).date(), QDate(2012, 12, 9));
    EXPECT_EQ(std::get<qint32>(packet.at(0, 11)), 60);
    EXPECT_EQ(std::get<QString>(packet.at(1, 0)), QStringLiteral("Two\nlines"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(packet.at(1, 7)));

    const auto reason = [](auto build, const QByteArray& text) {
        try {
            build(text);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("built");
    };
    const auto fromCsv = [](const QByteArray& t) { return CatalogueText::fromCsv(t); };
    const auto fromJson = [](const QByteArray& t) { return CatalogueText::fromJsonLines(t); };
    EXPECT_EQ(reason(fromCsv, "电台名称,频道\nx,y\n"), "line 1: unknown field 频道");
    EXPECT_EQ(reason(fromCsv, "电台名称,间隔\nx,1\ny,z\n"), "line 3: 间隔 is not an integer: z");
    EXPECT_EQ(reason(fromCsv, "电台名称,间隔\nx\n"), "line 2: 1 cells, the header has 2");
    EXPECT_EQ(reason(fromCsv, "电台名称\n\"open\n"), "line 2: quoted cell is not closed");
    EXPECT_EQ(reason(fromJson, "{\"编码率\":\"" + QByteArray(51, '1') + "\"}\n"),
              "line 1: 编码率 is 51 characters, more than its 50");
    EXPECT_EQ(reason(fromJson, "\n{\"开始时间\":\"9:00\"}"),
              "line 2: 开始时间 is not a date-time: 9:00");
    EXPECT_EQ(reason(fromJson, "{\"间隔\":\"60\"}"), "line 1: 间隔 must be a number");
    EXPECT_EQ(reason(fromJson, "[1]"), "line 1: not an object");
}

TEST(CatalogueTool, ChecksCopiesAndMeasuresFiles) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.cds"));
    writeFile(good, trickyPacket().write());

    ToolRun r = cds({QStringLiteral("check"), good});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("2\n"));

    const QString copy = dir.filePath(QStringLiteral("copy.cds"));
    EXPECT_EQ(cds({QStringLiteral("copy"), good, copy}).exitCode, 0);
    EXPECT_EQ(readFile(copy), readFile(good));

    const QString dumped = dir.filePath(QStringLiteral("rows.jsonl"));
    r = cds({QStringLiteral("dump"), good});
    writeFile(dumped, r.out.toUtf8());
    const QString rebuilt = dir.filePath(QStringLiteral("rebuilt.cds"));
    EXPECT_EQ(cds({QStringLiteral("build"), dumped, rebuilt}).exitCode, 0);
    EXPECT_EQ(readFile(rebuilt), readFile(good));

    writeFile(dir.filePath(QStringLiteral("bad.cds")), readFile(good).left(100));
    r = cds({QStringLiteral("check"), dir.filePath(QStringLiteral("bad.cds"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              QStringLiteral(
                  "corvinatone-cds: header announces 12 fields, more than the file can hold\n"));
    r = cds({QStringLiteral("check"), dir.filePath(QStringLiteral("none.cds"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("none.cds"))) << r.err.toStdString();
    EXPECT_EQ(cds({QStringLiteral("frobnicate")}).exitCode, 2);

    // A well-formed packet whose field has another type: the tool refuses it as the program does,
    // with the same reason.
    CataloguePacket retyped;
    retyped.fields = stationDescriptors();
    const QString interval = retyped.fields[11].name;
    retyped.fields[11] = retyped.fields[4];  // 间隔 as a date like 开始时间
    retyped.fields[11].name = interval;
    const QString wrongType = dir.filePath(QStringLiteral("retyped.cds"));
    writeFile(wrongType, retyped.write());
    QString programSays;
    try {
        StationTable(wrongType).loadFromFile(wrongType);
    } catch (const CatalogueFormatError& e) {
        programSays = QString::fromUtf8(e.what());
    }
    ASSERT_FALSE(programSays.isEmpty());
    r = cds({QStringLiteral("check"), wrongType});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("corvinatone-cds: %1\n").arg(programSays));

    r = cds({QStringLiteral("stats"), good});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              QStringLiteral(
                  "rows: 2\n"
                  "countries: 2 ((empty) 1, 中国 1)\n"
                  "categories: 2 ((empty) 1, 新闻 1)\n"
                  "bit-rate labels: 2 ((empty) 1, 32kbps 1)\n"
                  "addresses: 2 ((empty) 1, http:// 1); longest 11 characters\n"
                  "names: longest 25 characters\n"
                  "favourites: 0\n"
                  "tasks: 0; start time 1, end time 1, finish action 1, period 0, interval 2\n"));
}
