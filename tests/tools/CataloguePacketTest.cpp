// SPDX-License-Identifier: GPL-3.0-or-later
#include "CataloguePacket.h"
#include "catalogue/StationRow.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace('|', ' '));
}

CataloguePacket stationPacket(const std::vector<StationRow>& rows) {
    CataloguePacket packet;
    packet.fields = stationDescriptors();
    for (const StationRow& row : rows)
        packet.values.insert(packet.values.end(), row.values.begin(), row.values.end());
    return packet;
}

constexpr int kFirstRow = 365;

StationRow abcFm() {
    return StationRow::station(QStringLiteral("ABC FM"), QStringLiteral("印尼"),
                               QStringLiteral("新闻"), QStringLiteral("32kbps"),
                               QStringLiteral("mms://a/b"));
}

StationRow abcFmWithTask() {
    StationRow row = abcFm();
    row.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(8, 0)));
    row.setDateTime(Field::endTime, CdsDateTime::fromTimeOfDay(QTime(9, 0)));
    row.setText(Field::planType, QStringLiteral("播放并录音"));
    row.setText(Field::finishAction, QStringLiteral("关机"));
    row.setText(Field::period, QStringLiteral("星期一"));
    row.setInteger(Field::intervalSeconds, 3600);
    return row;
}

const QByteArray kAbcValues =
    hex("0C 00 41 00 42 00 43 00 20 00 46 00 4D 00 | 04 00 70 53 3C 5C | 04 00 B0 65 FB 95 |"
        "0C 33 00 32 00 6B 00 62 00 70 00 73 00");
const QByteArray kAbcUrl = hex("12 00 6D 00 6D 00 73 00 3A 00 2F 00 2F 00 61 00 2F 00 62 00");

std::string reasonOf(const QByteArray& bytes) {
    try {
        CataloguePacket::read(bytes);
    } catch (const CatalogueFormatError& e) {
        return e.what();
    }
    return "read";
}

}  // namespace

TEST(CataloguePacket, WritesTheHeaderAndDescriptorsByteForByte) {
    const QByteArray file = stationPacket({}).write();
    ASSERT_EQ(file.size(), kFirstRow);
    EXPECT_EQ(file.left(24),
              hex("96 19 E0 BD 01 00 00 00 18 00 00 00 0C 00 00 00 00 00 03 00 00 00 6D 01"));
    // Field 0's descriptor: 33 bytes (the twelve take 339).
    EXPECT_EQ(file.mid(24, 33),
              hex("0C E7 94 B5 E5 8F B0 E5 90 8D E7 A7 B0 | 02 00 | 4A 00 | 00 00 | 01 00 |"
                  "05 57 49 44 54 48 | 02 00 | 02 00 | FE 01"));
    EXPECT_EQ(file.right(2), hex("00 00"));  // no packet properties
    // The bit-rate field: one-byte prefix, WIDTH 100.
    const qsizetype bitRate = file.indexOf(QStringLiteral("编码率").toUtf8());
    EXPECT_EQ(file.mid(bitRate + 9, 19),
              hex("01 00 4A 00 00 00 01 00 05 57 49 44 54 48 02 00 02 00 64"));
}

TEST(CataloguePacket, WritesTheTwoWorkedRowsByteForByte) {
    const QByteArray station = stationPacket({abcFm()}).write().mid(kFirstRow);
    EXPECT_EQ(station, hex("00 | 00 15 55") + kAbcValues + kAbcUrl);
    EXPECT_EQ(station.size(), 63);

    const QByteArray task = stationPacket({abcFmWithTask()}).write().mid(kFirstRow);
    EXPECT_EQ(task, hex("00 | 00 10 00") + kAbcValues +
                        hex("00 00 E6 5F 5E 40 CB 42 | 00 40 5D 7B 5E 40 CB 42") + kAbcUrl +
                        hex("0A 00 AD 64 3E 65 76 5E 55 5F F3 97 | 04 00 73 51 3A 67 |"
                            "06 00 1F 66 1F 67 00 4E | 10 0E 00 00"));
    EXPECT_EQ(CdsDateTime::fromTimeOfDay(QTime(8, 0)).msecs, 59'926'550'400'000.0);
}

TEST(CataloguePacket, RoundTripsEdgeValuesExactly) {
    StationRow nameOnly;
    nameOnly.setText(Field::stationName, QStringLiteral("N"));

    StationRow widest;
    widest.setText(Field::stationName, QString(255, u'名'));
    widest.setText(Field::bitRate, QString(50, u'k'));
    widest.setText(Field::country, QStringLiteral("\U0001F4FB 电台"));  // outside the BMP
    widest.setInteger(Field::intervalSeconds, 0);
    widest.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(23, 59, 59, 999)));
    widest.setDateTime(Field::endTime, CdsDateTime::fromDateTime(QDate(2012, 12, 9), QTime(9, 5)));

    const CataloguePacket packet = stationPacket({nameOnly, widest, abcFmWithTask()});
    const QByteArray bytes = packet.write();
    const CataloguePacket back = CataloguePacket::read(bytes);
    EXPECT_EQ(back.fields, packet.fields);
    EXPECT_EQ(back.values, packet.values);
    EXPECT_EQ(back.write(), bytes);

    // Status, three flag bytes, the name's prefix and text: nothing else for an all-null row.
    EXPECT_EQ(bytes.mid(kFirstRow, 8), hex("00 | 54 55 55 | 02 00 4E 00"));
    const QByteArray widestRow = bytes.mid(kFirstRow + 8);
    EXPECT_EQ(widestRow.left(6), hex("00 | 10 50 15 | FE 01"));  // 255 characters: FE 01
    const qsizetype bitRateAt = 6 + 510 + 2 + 10;
    EXPECT_EQ(quint8(widestRow[bitRateAt]), 0x64);                              // 50 characters: 64
    EXPECT_EQ(widestRow.mid(bitRateAt + 1 + 100 + 16, 4), hex("00 00 00 00"));  // integer 0

    // A time of day alone stays a time of day.
    const auto& start = std::get<CdsDateTime>(back.at(1, size_t(Field::startTime)));
    EXPECT_EQ(start.date(), QDate(1899, 12, 30));
    EXPECT_EQ(start.time(), QTime(23, 59, 59, 999));
    EXPECT_EQ(std::get<CdsDateTime>(back.at(1, size_t(Field::endTime))).date(), QDate(2012, 12, 9));
}

TEST(CataloguePacket, ReadsEmptyTextsAsNullAndSkipsPacketProperties) {
    CataloguePacket packet = stationPacket({abcFm()});
    packet.packetProperties.push_back({"CHANGE_LOG", 2, QByteArray(7, 'x')});
    QByteArray bytes = packet.write();
    EXPECT_EQ(CataloguePacket::read(bytes).values, packet.values);

    // A text flagged present with length 0 reads as empty, the same as null.
    QByteArray emptyName = stationPacket({}).write();
    emptyName[14] = 1;  // one row
    emptyName += hex("00 | 54 55 55 | 00 00");
    const CataloguePacket read = CataloguePacket::read(emptyName);
    ASSERT_EQ(read.rowCount(), 1u);
    EXPECT_EQ(std::get<QString>(read.at(0, 0)), QString());
}

TEST(CataloguePacket, RejectsDamagedFilesWithAReason) {
    const QByteArray good = stationPacket({abcFm(), abcFmWithTask()}).write();
    const auto patched = [&](int offset, const QByteArray& bytes) {
        QByteArray copy = good;
        copy.replace(offset, bytes.size(), bytes);
        return copy;
    };
    EXPECT_EQ(reasonOf(good.left(10)), "file is shorter than its header (10 of 24 bytes)");
    EXPECT_EQ(reasonOf(patched(0, hex("00 00 00 00"))),
              "not a catalogue file (magic number 0x00000000)");
    EXPECT_EQ(reasonOf(patched(4, hex("04 00"))), "unsupported format version 4.0");
    EXPECT_EQ(reasonOf(patched(6, hex("04 00"))), "unsupported format version 1.4");
    EXPECT_EQ(reasonOf(patched(14, hex("FF FF FF 7F"))),
              "header announces 2147483647 rows, more than the remaining 172 bytes can hold");
    EXPECT_EQ(reasonOf(patched(14, hex("FF FF FF FF"))), "negative row count -1");
    EXPECT_EQ(reasonOf(patched(12, hex("FF FF"))),
              "header announces 65535 fields, more than the file can hold");
    EXPECT_EQ(reasonOf(patched(24 + 15, hex("49 00"))),
              "field 0 (电台名称) has type 0x0049 with width 2, which cannot be read");
    EXPECT_EQ(reasonOf(good + "x"), "1 bytes follow the last row");
    // A length prefix that runs past the end.
    EXPECT_EQ(reasonOf(patched(kFirstRow + 4, hex("FE FF"))),
              "file ends inside row 0 (offset 371, 65368 bytes missing)");
    EXPECT_EQ(reasonOf(patched(kFirstRow + 4, hex("0B 00"))), "row 0 has an odd text length 11");

    // Every cut of a good file fails cleanly.
    for (qsizetype n = 0; n < good.size(); ++n)
        EXPECT_NE(reasonOf(good.left(n)), "read") << n;
}

TEST(CataloguePacket, SurvivesRandomDamage) {
    const QByteArray good = stationPacket({abcFm(), abcFmWithTask()}).write();
    std::mt19937 random(20121209);
    int read = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray copy = good;
        for (int flips = 1 + int(random() % 4); flips > 0; --flips)
            copy[qsizetype(random() % quint32(copy.size()))] = char(random());
        read += reasonOf(copy) == "read";
    }
    EXPECT_GT(read, 0);  // some damage lands in texts and still reads
}
