// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "playback/Navigation.h"
#include "playback/Playback.h"
#include "playback/Presets.h"
#include "playback/VolumeControl.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeServices.h"
#include "support/QtPrinters.h"

#include "support/TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

TEST(VolumeControl, StepsPressesAndMute) {
    FakeMediaPlayer player;
    FakeDialogs dialogs;
    VolumeControl volume(player, dialogs);

    volume.N15Click();  // the bar starts at 100 although the player plays at 50
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("音量值已经为最大！"));
    EXPECT_EQ(player.volume, 50);
    volume.N18Click();
    EXPECT_EQ(player.volume, 40);
    EXPECT_EQ(volume.barValue(), 40);

    volume.Gauge21MouseDown(0, 100);
    EXPECT_EQ(player.volume, 0);
    EXPECT_EQ(volume.barHint(), QStringLiteral("音量:0"));
    volume.N18Click();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("音量值已经为最小！"));
    volume.Gauge21MouseDown(99, 100);
    EXPECT_EQ(volume.barValue(), 99);
    volume.Gauge21MouseDown(1, 40);  // 2.5 rounds to the even 2
    EXPECT_EQ(volume.barValue(), 2);
    volume.Gauge21MouseDown(3, 40);  // 7.5 rounds to 8
    EXPECT_EQ(volume.barValue(), 8);

    volume.Gauge21MouseDown(95, 100);
    volume.N15Click();
    EXPECT_EQ(player.volume, 100);  // 105 clamped by the player, read back
    EXPECT_EQ(volume.barValue(), 100);
    volume.Gauge21MouseMove();
    EXPECT_EQ(volume.barHint(), QStringLiteral("音量:100"));
    EXPECT_EQ(volume.showHint(), QStringLiteral("音量 100%"));

    EXPECT_EQ(volume.muteHint(), QString());  // no hint before the first press
    volume.ToolButton1Click();
    EXPECT_TRUE(player.muted);
    EXPECT_EQ(volume.muteTag(), 1);
    EXPECT_EQ(volume.muteHint(), QStringLiteral("静音"));
    volume.ToolButton1Click();
    EXPECT_FALSE(player.muted);
    EXPECT_EQ(volume.muteTag(), 0);
    EXPECT_EQ(volume.muteHint(), QStringLiteral("声音"));
}

namespace {

class NavigationFixture : public ::testing::Test {
  protected:
    void fill(const QStringList& names) {
        for (const QString& name : names)
            table.append(StationRow::station(name, QStringLiteral("美国"), QStringLiteral("新闻"),
                                             {}, QStringLiteral("http://h/") + name));
        table.setFilter(ViewFilter::all());
    }

    StationTable table{QStringLiteral("/nonexistent/rd.cds")};
    FakeMediaPlayer player;
    OptionsStore options{QStringLiteral("/nonexistent/option.ini")};
    FakeDialogs dialogs;
    NoKiller killer;
    QTemporaryDir folder;
    Presets presets{folder.filePath(QStringLiteral("channel.ini"))};
    WindowFields fields;
    Playback playback{
        player,
        table,
        options,
        dialogs,
        killer,
        fields,
        {.statusTimer = [](bool) {}, .stopTaskCountdown = [] {}, .showAllStations = [] {}}};
    int rootSelected = 0;
    Navigation navigation{table,
                          playback,
                          presets,
                          dialogs,
                          fields,
                          {.selectRoot = [this] { ++rootSelected; },
                           .rowSelection = [this] { playback.rowSelected(); }}};
};

}  // namespace

TEST_F(NavigationFixture, PreviousAndNextStayInTheView) {
    fill({"x1", "a1", "x2", "a2"});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("a")));
    navigation.N23Click();  // first row of the view, though the table has an earlier row
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("已经是第一个电台！"));
    EXPECT_TRUE(player.calls.isEmpty());

    navigation.N24Click();
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/a2"));
    EXPECT_EQ(fields.title3, QStringLiteral("a2"));
    navigation.N24Click();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("已经是最后一个电台！"));
    navigation.N23Click();
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/a1"));
}

TEST_F(NavigationFixture, RandomPlayReachesEveryRowOfTheWholeTable) {
    fill({"only"});
    navigation.ToolButton7Click();
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/only"));
    EXPECT_EQ(rootSelected, 1);

    fill({"b", "c", "d"});
    table.setFilter(ViewFilter::nameBeginsWith(QStringLiteral("c")));  // random play ignores it
    std::set<QString> seen;
    for (int draw = 0; draw < 400 && seen.size() < 4; ++draw) {
        navigation.ToolButton7Click();
        seen.insert(player.URL());
    }
    // Each of 4 rows is missed in 400 fair draws with probability (3/4)^400, about 1e-50.
    EXPECT_EQ(seen.size(), 4u);

    StationTable empty(QStringLiteral("/nonexistent/x.cds"));
    Navigation none(empty, playback, presets, dialogs, fields,
                    {.selectRoot = [] {}, .rowSelection = [] {}});
    player.calls.clear();
    none.ToolButton7Click();  // an empty table: nothing, silently
    EXPECT_TRUE(player.calls.isEmpty());
}

TEST_F(NavigationFixture, PresetsAssignAndPlayByName) {
    fill({"A", "B", "C"});
    navigation.playPreset(5);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请先设置预置电台！"));

    table.moveTo(2);
    navigation.assignPreset(3);
    EXPECT_EQ(presets.caption(3), QStringLiteral("C"));
    EXPECT_FALSE(fields.play);
    EXPECT_TRUE(readFile(folder.filePath(QStringLiteral("channel.ini"))).contains("3=C\n"));
    EXPECT_TRUE(player.calls.isEmpty());  // assigning plays nothing
    table.moveTo(0);
    navigation.playPreset(3);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/C"));
}
