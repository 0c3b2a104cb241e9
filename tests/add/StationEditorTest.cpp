// SPDX-License-Identifier: GPL-3.0-or-later
#include "add/StationEditor.h"
#include "catalogue/StationTable.h"
#include "support/FakeDialogs.h"
#include "support/FakeServices.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        table.append(StationRow::station(QStringLiteral("Genre FM"), QStringLiteral("美国"),
                                         QStringLiteral("新闻"), QStringLiteral("64kbps"),
                                         QStringLiteral("http://g")));
        table.commitAndSave();
        table.setFilter(ViewFilter::category(QStringLiteral("新闻")));  // a genre view
    }
    StationEditor editor(StationEditor::Mode mode) {
        return StationEditor(
            table, dialogs, desktop, mode,
            {.countChanged = [this] { ++countUpdates; }, .selectRoot = [this] { ++roots; }});
    }

    QTemporaryDir dir;
    StationTable table{dir.filePath(QStringLiteral("rd.cds"))};
    FakeDialogs dialogs;
    FakeDesktop desktop;
    int countUpdates = 0;
    int roots = 0;
};

}  // namespace

TEST_F(EditorFixture, AddsATrimmedUserStationAndHandsItToTheMailProgram) {
    StationEditor add = editor(StationEditor::Mode::add);
    EXPECT_EQ(add.acceptCaption(), QStringLiteral("添加"));
    EXPECT_FALSE(add.deleteVisible());
    EXPECT_EQ(add.loaddata().address, QStringLiteral("http://"));

    const StationEditor::Boxes boxes{QStringLiteral("  我的 电台 "), QStringLiteral(" 中国"),
                                     QStringLiteral(" HTTPS://Radio.example/a b&c ")};
    EXPECT_EQ(add.BitBtn1Click(boxes, true), StationEditor::Outcome::closed);
    ASSERT_EQ(table.totalCount(), 2);
    const StationRef row = table.row(1);
    EXPECT_EQ(row.text(Field::stationName), QStringLiteral("我的 电台"));
    EXPECT_EQ(row.text(Field::country), QStringLiteral("中国"));
    EXPECT_EQ(row.text(Field::category), QStringLiteral("用户自定义"));
    EXPECT_EQ(row.text(Field::bitRate), QStringLiteral("32kbps"));
    EXPECT_EQ(row.text(Field::streamUrl),
              QStringLiteral("HTTPS://Radio.example/a b&c"));  // as typed
    EXPECT_TRUE(row.text(Field::favourite).isEmpty());
    EXPECT_EQ(countUpdates, 1);
    EXPECT_EQ(roots, 1);
    table.saver().wait();  // the editor saves in the background
    StationTable saved(table.savePath());
    saved.loadFromFile(table.savePath());
    EXPECT_EQ(saved.totalCount(), 2);

    // The subject is the boxes as typed, percent-encoded so every mail program gets it whole.
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(
        desktop.opened[0].toEncoded(),
        QByteArray("mailto:stations@corvinatone.com?subject=%20%20%E6%88%91%E7%9A%84%20%E7%94%B5%"
                   "E5%8F%B0%20"
                   "%20%20%E4%B8%AD%E5%9B%BD%20%20HTTPS%3A%2F%2FRadio.example%2Fa%20b%26c%20"));
    EXPECT_EQ(desktop.opened[0].query(QUrl::FullyDecoded),
              QStringLiteral("subject=  我的 电台   中国  HTTPS://Radio.example/a b&c "));

    // Unchecked: no mail program.
    add.BitBtn1Click({QStringLiteral("N"), QStringLiteral("C"), QStringLiteral("http://x")}, false);
    EXPECT_EQ(desktop.opened.size(), 1);
}

TEST_F(EditorFixture, ChecksTheBoxesAndTheAddress) {
    StationEditor add = editor(StationEditor::Mode::add);
    EXPECT_EQ(add.BitBtn1Click({QStringLiteral("N"), QString(), QStringLiteral("http://x")}, false),
              StationEditor::Outcome::stayOpen);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("以上内容不能为空，请重新输入。"));
    EXPECT_EQ(add.BitBtn1Click(
                  {QStringLiteral("N"), QStringLiteral("C"), QStringLiteral("rtsp://x")}, false),
              StationEditor::Outcome::focusAddress);
    EXPECT_EQ(dialogs.shown.last().text,
              QStringLiteral("电台必须要以http://或者mms://等字符开头,请重新输入。"));
    EXPECT_EQ(table.totalCount(), 1);

    EXPECT_TRUE(
        StationEditor::addressAccepted(QStringLiteral("rtsp://a/?u=http://b")));  // further on
    EXPECT_TRUE(StationEditor::addressAccepted(QStringLiteral("MMS://A")));
    EXPECT_TRUE(StationEditor::addressAccepted(QStringLiteral("https://a")));
    EXPECT_FALSE(StationEditor::addressAccepted(QStringLiteral("http:/a")));

    table.setFilter(
        ViewFilter::category(QStringLiteral("喜剧频道")));  // empty view: nothing at all
    const int shown = int(dialogs.shown.size());
    EXPECT_EQ(add.BitBtn1Click(
                  {QStringLiteral("N"), QStringLiteral("C"), QStringLiteral("http://x")}, false),
              StationEditor::Outcome::stayOpen);
    EXPECT_EQ(dialogs.shown.size(), shown);
    EXPECT_EQ(table.totalCount(), 1);
}

TEST_F(EditorFixture, ModifiesUntrimmedAndDeletesOnlyWhenConfirmed) {
    table.append(StationRow::station(QStringLiteral("Mine"), QStringLiteral("法国"),
                                     QStringLiteral("用户自定义"), QStringLiteral("32kbps"),
                                     QStringLiteral("http://m")));
    table.setFilter(ViewFilter::category(QStringLiteral("用户自定义")));
    StationEditor modify = editor(StationEditor::Mode::modify);
    EXPECT_EQ(modify.acceptCaption(), QStringLiteral("修改"));
    EXPECT_TRUE(modify.deleteVisible());
    EXPECT_EQ(modify.loaddata().name, QStringLiteral("Mine"));
    EXPECT_EQ(modify.loaddata().address, QStringLiteral("http://m"));

    modify.BitBtn1Click(
        {QStringLiteral(" Mine 2 "), QStringLiteral("法国"), QStringLiteral("mms://m2")}, true);
    EXPECT_EQ(table.row(1).text(Field::stationName), QStringLiteral(" Mine 2 "));
    EXPECT_TRUE(desktop.opened.isEmpty());  // no mail when modifying

    table.setFilter(ViewFilter::category(QStringLiteral("用户自定义")));
    dialogs.answers = {false};
    EXPECT_EQ(modify.Button1Click(), StationEditor::Outcome::closed);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("是否删除当前电台？"));
    EXPECT_EQ(table.totalCount(), 2);
    dialogs.answers = {true};
    modify.Button1Click();
    EXPECT_EQ(table.totalCount(), 1);
    table.saver().wait();
    StationTable saved(table.savePath());
    saved.loadFromFile(table.savePath());
    EXPECT_EQ(saved.totalCount(), 1);
}
