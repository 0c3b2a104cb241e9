// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window, offscreen, driven through its controls with fake services.
#include "add/TForm3.h"
#include "app/ChineseFont.h"
#include "app/Gauge21.h"
#include "app/TForm1.h"
#include "app/TForm1Ui.h"
#include "platform/ProcessKiller.h"
#include "recording/WaveStream.h"
#include "setting/TForm2.h"
#include "support/DaytimeServer.h"
#include "support/FakeCaptureDevice.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakePower.h"
#include "support/FakeServices.h"
#include "support/LoopbackHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/PrivateHome.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"
#include "update/TForm4.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Fills the station editor with a new station and presses 添加.
void addNewStation(TForm3* form) {
    form->nameBox->setText(QStringLiteral("新电台"));
    form->countryBox->setEditText(QStringLiteral("中国"));
    form->addressBox->setText(QStringLiteral("http://a.example/live"));
    form->sendToAuthor->setChecked(false);
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
}

}  // namespace

TEST_F(MainWindow, OpensOnTheWholeCatalogueWithItsControls) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(window->size(), QSize(819, 577));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(ui().TreeView1->topLevelItem(0)->text(0), QStringLiteral("所有电台 (5)"));
    EXPECT_TRUE(ui().TreeView1->topLevelItem(0)->isExpanded());
    EXPECT_EQ(listedNames().size(), 5);
    EXPECT_TRUE(window->core().snapshot().rows.empty());  // no station has a task
    EXPECT_EQ(window->core().fields().title3,
              QStringLiteral("Radio One"));  // first row as if clicked
    EXPECT_EQ(ui().ComboBox1->count(), 173);
    EXPECT_TRUE(ui().RadioButton4->isChecked());
    EXPECT_EQ(ui().panels[3]->text(), QStringLiteral("当前无任务"));
    EXPECT_EQ(ui().gauge->toolTip(), QStringLiteral("音量 100%"));  // the bar starts at 100
    EXPECT_EQ(ui().gauge->value(), 100);
    // The options window is made at its first opening, here.
    EXPECT_EQ(window->findChild<TForm2*>(), nullptr);
    EXPECT_EQ(options()->stationCountText(), QStringLiteral("当前共有电台5个"));
    EXPECT_EQ(ui().ToolButton9->toolTip(), QStringLiteral("添加电台"));
    EXPECT_EQ(ui().ToolButton5->toolTip(), QStringLiteral("添加计划"));
    EXPECT_EQ(ui().quickButtons[2]->toolTip(), QStringLiteral("美国之音广播(中文版)"));
    EXPECT_FALSE(ui().DBGrid1->horizontalScrollBar()->isVisible());
    EXPECT_EQ(ui().DBGrid1->columnWidth(0), 330);
    EXPECT_EQ(ui().DBGrid2->model()->headerData(3, Qt::Horizontal).toString(),
              QStringLiteral("开始时间"));
    EXPECT_FALSE(options()->isVisible());
    EXPECT_EQ(ui().DBGrid2->model()->rowCount(), 0);  // only the list on show has rows

    QStringList tray;
    for (QAction* a : window->trayMenu()->actions())
        tray << a->text();
    EXPECT_EQ(tray,
              (QStringList{"显示主界面", "网络对时", "立即更新", "", "预置电台", "音量控制",
                           "播放控制", "随机播放", "", "设置...", "赞助作者...", "", "退出"}));
    QStringList playbackItems;
    for (QAction* a : window->trayMenu()->actions()[6]->menu()->actions())
        playbackItems << a->text();
    EXPECT_EQ(playbackItems,
              (QStringList{"播放", "停止", "", "上一个电台   ←", "下一个电台   → "}));
}

TEST_F(MainWindow, SearchesByNameAndCountryAndBrowsesGenres) {
    QTest::keyClicks(ui().ComboBox1, QStringLiteral("radio"));
    EXPECT_EQ(listedNames(), (QStringList{"Radio One", "RADIO Two", "radio three"}));
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));

    ui().ComboBox1->setEditText(QString());
    EXPECT_EQ(listedNames().size(), 5);  // empty name: all
    QTest::mouseClick(ui().RadioButton5, Qt::LeftButton);
    ui().ComboBox1->setEditText(QStringLiteral("x"));
    ui().ComboBox1->setEditText(QString());
    EXPECT_EQ(listedNames().size(), 0);  // empty country: none
    ui().ComboBox1->setCurrentIndex(ui().ComboBox1->findText(QStringLiteral("美国")));
    EXPECT_EQ(listedNames(), (QStringList{"Radio One", "My radio"}));

    // A genre after a search replaces the filter; the search text stays.
    ui().TreeView1->setCurrentItem(node(QStringLiteral("爵士乐")));
    EXPECT_EQ(listedNames(), (QStringList{"radio three", "Jazz FM"}));
    EXPECT_EQ(ui().ComboBox1->currentText(), QStringLiteral("美国"));
    EXPECT_EQ(ui().DBGrid1->toolTip(), QString());
    ui().TreeView1->setCurrentItem(node(QStringLiteral("福音")));
    EXPECT_EQ(ui().DBGrid1->toolTip(), QStringLiteral("福音：美国黑人宗教音乐"));
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());  // an empty genre is just an empty list

    // Column titles sort ascending.
    ui().TreeView1->setCurrentItem(ui().TreeView1->topLevelItem(0));
    window->DBGrid1TitleClick(1);  // 电台国家: 法国 (fa), 美国 (mei), 英国 (ying)
    EXPECT_EQ(listedNames(),
              (QStringList{"radio three", "Radio One", "My radio", "RADIO Two", "Jazz FM"}));
}

TEST_F(MainWindow, EmptyFavouritesAndTasksSayItAndReturnToTheRoot) {
    ui().TreeView1->setCurrentItem(node(QStringLiteral("收藏夹")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("当前记录为空,请重新添加."));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::information);
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));
    EXPECT_EQ(ui().TreeView1->topLevelItem(0)->text(0), QStringLiteral("所有电台 (5)"));
    EXPECT_EQ(listedNames().size(), 5);

    ui().TreeView1->setCurrentItem(node(QStringLiteral("用户自定义")));
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(ui().ToolButton9->toolTip(), QStringLiteral("添加电台"));  // back at the root

    ui().TreeView1->setCurrentItem(node(QStringLiteral("电台任务")));
    EXPECT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(ui().PageControl1->currentIndex(), 0);
    EXPECT_EQ(ui().ToolButton5->toolTip(), QStringLiteral("添加计划"));
}

TEST_F(MainWindow, PlaysStopsAndShowsTheStatus) {
    clickRow(1);
    EXPECT_EQ(window->core().fields().title3, QStringLiteral("RADIO Two"));
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/RADIO Two"));
    EXPECT_TRUE(window->timer2().isActive());
    player.state = MediaPlayer::kPlaying;
    window->Timer2Timer();
    EXPECT_EQ(ui().panels[0]->text(), QStringLiteral("正在播放:  RADIO Two"));
    EXPECT_EQ(ui().panels[1]->text(), QStringLiteral("已播放: 00:01"));

    QTest::mouseClick(ui().ToolButton4, Qt::LeftButton);
    EXPECT_FALSE(window->timer2().isActive());
    EXPECT_EQ(ui().panels[0]->text(), QStringLiteral("正在播放:  RADIO Two"));  // kept after a stop

    // A double click plays the row; keys move the current row without selecting it for play.
    const QRect cell = ui().DBGrid1->visualRect(ui().DBGrid1->model()->index(4, 0));
    QTest::mouseClick(ui().DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());  // first click
    QTest::mouseDClick(ui().DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Jazz FM"));
    EXPECT_EQ(window->core().fields().playSource, PlaySource::DoubleClick);
    ui().DBGrid1->setFocus();
    QTest::keyClick(ui().DBGrid1, Qt::Key_Up);
    EXPECT_EQ(window->core().table().text(Field::stationName), QStringLiteral("radio three"));
    EXPECT_EQ(window->core().fields().title3, QStringLiteral("Jazz FM"));

    // A quick-station button whose name is missing plays the first row.
    QTest::mouseClick(ui().quickButtons[0], Qt::LeftButton);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Radio One"));
}

TEST_F(MainWindow, APlayerThatCannotStartIsReportedAtEachPlayAndTheProgramGoesOn) {
    player.cannotStart = QStringLiteral("libvlc could not be created");
    clickRow(1);
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.2"));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("此软件需要Windows Media Playe7.0以上版本支持,请检查是否已正确安装。"
                             "\n\nlibvlc could not be created"));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::error);

    // Once the player can start, playing works as ever.
    player.cannotStart.clear();
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(player.state, MediaPlayer::kTransitioning);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/RADIO Two"));
}

TEST_F(MainWindow, TheStatusDisplayRunsOnceASecondWhilePlaying) {
    clickRow(1);
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    player.state = MediaPlayer::kPlaying;
    player.statusReads = 0;
    QTest::qWait(2500);
    EXPECT_GE(player.statusReads, 1);
    EXPECT_LE(player.statusReads, 4);  // a pass each second, not back to back
    EXPECT_EQ(ui().panels[0]->text(), QStringLiteral("正在播放:  RADIO Two"));
    EXPECT_EQ(window->trayIcon()->systemTrayIcon()->toolTip(), QString());  // the header's text

    player.muted = true;
    QTest::qWait(1200);
    EXPECT_EQ(ui().panels[0]->text(), QStringLiteral("正在播放:  RADIO Two - 静音"));
    EXPECT_EQ(window->trayIcon()->systemTrayIcon()->toolTip(), ui().panels[0]->text());
}

TEST_F(MainWindow, WithoutATrayClosingEndsTheProgram) {
    desktop.tray = false;
    window->core().presets().setCaption(2, QStringLiteral("Jazz FM"));
    window->close();
    EXPECT_EQ(runEnded, 1);  // as "退出": presets saved, the run ended
    EXPECT_TRUE(readFile(folder.filePath(QStringLiteral("channel.ini"))).contains("2=Jazz FM"));
}

TEST(MainWindowPlacement, KeepsAFittingPositionAndMovesTheWindowWholeOntoSmallScreens) {
    const QRect frame(294, 251, 821, 604);
    EXPECT_EQ(TForm1Ui::placeWithin(frame, QRect(0, 0, 1920, 1080)), QPoint(294, 251));
    EXPECT_EQ(TForm1Ui::placeWithin(frame, QRect(0, 0, 1366, 740)), QPoint(294, 136));
    EXPECT_EQ(TForm1Ui::placeWithin(frame, QRect(0, 27, 1280, 773)), QPoint(294, 196));
    EXPECT_EQ(TForm1Ui::placeWithin(frame.translated(-400, -300), QRect(0, 27, 1280, 773)),
              QPoint(0, 27));
    EXPECT_EQ(TForm1Ui::placeWithin(frame, QRect(0, 0, 800, 600)), QPoint(0, 0));  // too big
    EXPECT_EQ(TForm1Ui::placeWithin(frame, QRect(1920, 0, 1280, 1024)), QPoint(1920, 251));
}

TEST_F(MainWindow, CloseHidesInTheTrayAndRestoreBringsItBack) {
    window->setWindowState(Qt::WindowNoState);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->savedWindowState(), Qt::WindowNoState);
    writeOptions("remind=托盘回来\n");
    window->restoreFromTray();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(ui().panels[3]->text(), QStringLiteral("托盘回来"));  // the show steps ran again
}

TEST_F(MainWindow, ExitSavesPresetsAndDeletesUpdateFiles) {
    for (const char* name : {"update.xml", "updatedb.xml", "update.cds"}) {
        QFile f(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    window->core().presets().setCaption(3, QStringLiteral("Jazz FM"));
    window->N2Click();
    EXPECT_EQ(runEnded, 1);
    EXPECT_FALSE(player.calls.contains(QStringLiteral("Close")));  // nothing was ever played
    for (const char* name : {"update.xml", "updatedb.xml", "update.cds"})
        EXPECT_FALSE(QFile::exists(folder.filePath(QLatin1String(name)))) << name;
    EXPECT_EQ(readFile(folder.filePath(QStringLiteral("channel.ini"))),
              QByteArray("[music]\n1=\n2=\n3=Jazz FM\n4=\n5=\n6=\n7=\n8=\n\n[musci]\nstatus=1\n"));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // With a medium loaded the player is stopped and closed; a failed save is fatal but still ends.
    player.state = MediaPlayer::kPlaying;
    QFile::remove(folder.filePath(QStringLiteral("channel.ini")));
    QDir(folder.path()).mkdir(QStringLiteral("channel.ini"));  // cannot be written over
    window->N2Click();
    EXPECT_EQ(runEnded, 2);
    EXPECT_TRUE(player.calls.contains(QStringLiteral("Close")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("发生致命错误，程序将强制关闭！"));
}

TEST_F(MainWindow, AnAssignedPresetIsSavedAtOnceAndSurvivesHidingInTheTray) {
    clickRow(4);
    ui().presetItems[2]->trigger();
    const QString channels = folder.filePath(QStringLiteral("channel.ini"));
    EXPECT_TRUE(readFile(channels).contains("3=Jazz FM"));  // on disk before anything else happens
    window->close();
    window->restoreFromTray();  // the show reloads channel.ini
    EXPECT_EQ(ui().presetItems[2]->text(), QStringLiteral("Jazz FM"));
    window->PopupMenu1Popup();
    EXPECT_EQ(window->trayMenu()->actions()[4]->menu()->actions()[2]->text(),
              QStringLiteral("Jazz FM"));
    window->N2Click();
    EXPECT_TRUE(readFile(channels).contains("3=Jazz FM"));
}

TEST_F(MainWindow, PresetMenusReloadTheFileUntilASlotIsAssigned) {
    ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("channel.ini")), "[music]\n2=Jazz FM\n"));
    window->PopupMenu1Popup();
    EXPECT_EQ(ui().presetItems[1]->text(), QStringLiteral("Jazz FM"));
    QFile::remove(folder.filePath(QStringLiteral("channel.ini")));
    window->PopupMenu3Popup();  // the file is gone: the captions stay
    EXPECT_EQ(ui().presetItems[1]->text(), QStringLiteral("Jazz FM"));
}

TEST_F(MainWindow, VolumeBarAndMuteButton) {
    QTest::mouseClick(ui().gauge, Qt::LeftButton, {}, QPoint(0, 2));
    EXPECT_EQ(player.volume, 0);
    EXPECT_EQ(ui().gauge->value(), 0);
    EXPECT_EQ(ui().gauge->toolTip(), QStringLiteral("音量:0"));
    QTest::mouseClick(ui().gauge, Qt::RightButton, {}, QPoint(99, 2));  // any button sets
    EXPECT_EQ(player.volume, 99);

    EXPECT_EQ(ui().ToolButton1->toolTip(), QString());
    QTest::mouseClick(ui().ToolButton1, Qt::LeftButton);
    EXPECT_TRUE(player.muted);
    EXPECT_EQ(ui().ToolButton1->toolTip(), QStringLiteral("静音"));
    QTest::mouseClick(ui().ToolButton1, Qt::LeftButton);
    EXPECT_FALSE(player.muted);
    EXPECT_EQ(ui().ToolButton1->toolTip(), QStringLiteral("声音"));
}

TEST_F(MainWindow, FavouriteToggleSavesAtOnce) {
    const QString catalogue = folder.filePath(QStringLiteral("rd.cds"));
    const QByteArray before = readFile(catalogue);
    // The toggle saves on the saver's thread; what the file holds once that save is done.
    const auto saved = [&] {
        window->core().table().saver().wait();
        return readFile(catalogue);
    };
    clickRow(4);
    EXPECT_EQ(ui().ToolButton6->toolTip(), QStringLiteral("收藏"));
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    EXPECT_EQ(ui().ToolButton6->toolTip(), QStringLiteral("取消收藏"));
    EXPECT_TRUE(saved().contains(QByteArray("\x02\x00\x05\x26", 4)));  // "★", UTF-16LE
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    EXPECT_EQ(saved(), before);  // written again, unmarked

    // In the favourites view, clearing the last mark empties the list without a message.
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    ui().TreeView1->setCurrentItem(node(QStringLiteral("收藏夹")));
    EXPECT_EQ(listedNames(), QStringList{"Jazz FM"});
    clickRow(0);
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // With an empty search result the button does nothing.
    ui().ComboBox1->setEditText(QStringLiteral("zzz"));
    const QByteArray now = saved();
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    EXPECT_EQ(saved(), now);
}

TEST_F(MainWindow, DigitKeysPlayPresetsExceptInTheSearchBox) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ui().DBGrid1->setFocus();
    QTest::keyClick(ui().DBGrid1, Qt::Key_3);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请先设置预置电台！"));

    ui().ComboBox1->setFocus();
    QTest::keyClicks(ui().ComboBox1, QStringLiteral("3"));
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(ui().ComboBox1->currentText(), QStringLiteral("3"));

    window->core().presets().setCaption(2, QStringLiteral("Jazz FM"));
    ui().DBGrid1->setFocus();
    QTest::keyClick(ui().DBGrid1, Qt::Key_2);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Jazz FM"));
}

TEST_F(MainWindow, DigitKeysLeaveTheListAndTheTreeWhereThePresetPutThem) {
    window->core().table().append(
        StationRow::station(QStringLiteral("1 Radio"), {}, {}, {}, QStringLiteral("http://h/1")));
    window->core().table().commitAndSave();
    window->core().presets().setCaption(1, QStringLiteral("Jazz FM"));
    window->core().presets().setCaption(6, QStringLiteral("My radio"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    ui().DBGrid1->setFocus();
    QTest::keyClick(ui().DBGrid1, Qt::Key_1);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/Jazz FM"));
    EXPECT_EQ(window->core().table().text(Field::stationName), QStringLiteral("Jazz FM"));
    EXPECT_EQ(ui().DBGrid1->currentIndex().data().toString(), QStringLiteral("Jazz FM"));

    node(QStringLiteral("流派"))->setExpanded(true);  // 60后 … 90后 in sight
    ui().TreeView1->setFocus();
    QTest::keyClick(ui().TreeView1, Qt::Key_6);
    EXPECT_EQ(player.URL(), QStringLiteral("http://h/My radio"));
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));
    EXPECT_EQ(window->core().table().text(Field::stationName), QStringLiteral("My radio"));
}

TEST_F(MainWindow, TheHighlightedNodeAndTheRootCountMatchTheList) {
    for (const char* name : {"收藏夹", "用户自定义", "电台任务"}) {
        const QRect at = ui().TreeView1->visualItemRect(node(QString::fromUtf8(name)));
        QTest::mouseClick(ui().TreeView1->viewport(), Qt::LeftButton, {}, at.center());
        QCoreApplication::processEvents();
        QTreeWidgetItem* root = ui().TreeView1->topLevelItem(0);
        EXPECT_EQ(ui().TreeView1->currentItem(), root) << name;
        EXPECT_EQ(ui().TreeView1->selectedItems(), QList<QTreeWidgetItem*>{root}) << name;
        EXPECT_EQ(listedNames().size(), 5);
    }

    // Adding at the root, where the selection does not change, still counts the new row.
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        addNewStation(form);
    });
    QTest::mouseClick(ui().ToolButton9, Qt::LeftButton);
    EXPECT_EQ(ui().TreeView1->topLevelItem(0)->text(0), QStringLiteral("所有电台 (6)"));
}

TEST_F(MainWindow, TheListsShowTheWindowsHintsOverTheirRows) {
    window->core().table().append(StationRow::station(
        QStringLiteral("Gospel FM"), {}, QStringLiteral("福音"), {}, QStringLiteral("http://g")));
    window->core().table().commitAndSave();
    ui().TreeView1->setCurrentItem(node(QStringLiteral("福音")));
    ASSERT_EQ(listedNames(), QStringList{"Gospel FM"});
    const QRect cell = ui().DBGrid1->visualRect(ui().DBGrid1->model()->index(0, 0));
    QHelpEvent help(QEvent::ToolTip, cell.center(),
                    ui().DBGrid1->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(ui().DBGrid1->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("福音：美国黑人宗教音乐"));
}

TEST_F(MainWindow, AFavouriteThatCannotBeSavedIsReportedAndQuittingWaitsForSaves) {
    const QString catalogue = folder.filePath(QStringLiteral("rd.cds"));
    ASSERT_TRUE(QFile::remove(catalogue));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("rd.cds")));  // cannot be replaced
    clickRow(4);
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);
    EXPECT_EQ(ui().ToolButton6->toolTip(),
              QStringLiteral("取消收藏"));  // at once, not after the disk
    ASSERT_TRUE(waitFor([&] { return !dialogs.shown.isEmpty(); }, 5000));
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::error);
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("rd.cds")));

    // A change saved in the background is on disk when "退出" returns.
    ASSERT_TRUE(QDir(catalogue).removeRecursively());
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);  // unmarked
    QTest::mouseClick(ui().ToolButton6, Qt::LeftButton);  // marked again
    window->N2Click();
    StationTable onDisk(catalogue);
    onDisk.loadFromFile(catalogue);
    EXPECT_EQ(onDisk.row(4).text(Field::favourite), QStringLiteral("★"));
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(MainWindow, AFailedSaveInTheEditorIsReportedTheStationKeptAndTriedAgainAtExit) {
    const QString catalogue = folder.filePath(QStringLiteral("rd.cds"));
    ASSERT_TRUE(QFile::remove(catalogue));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("rd.cds")));  // cannot be replaced
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        addNewStation(form);
    });
    QTest::mouseClick(ui().ToolButton9, Qt::LeftButton);  // the editor closes; the disk follows
    ASSERT_TRUE(waitFor([&] { return !dialogs.shown.isEmpty(); }, 5000));
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::error);
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("rd.cds")));
    EXPECT_EQ(window->core().table().totalCount(), 6);  // kept in memory

    // Quitting tries the failed save once more, and says why it failed again.
    window->N2Click();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::error);
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("rd.cds")));
    EXPECT_EQ(runEnded, 1);
}

TEST_F(MainWindow, TheHotKeyMutesOnlyWhenStoppedOrPlaying) {
    EXPECT_EQ(hotKey.registered, QList<int>{0});  // no option.ini: no key
    writeOptions("mute=3\n");                     // F5
    window->close();
    window->restoreFromTray();
    EXPECT_EQ(hotKey.registered.last(), 116);

    player.state = MediaPlayer::kPlaying;
    hotKey.press(116);
    EXPECT_TRUE(player.muted);
    hotKey.press(116);
    EXPECT_FALSE(player.muted);
    hotKey.press(116, true);  // Shift+F5
    EXPECT_FALSE(player.muted);
    hotKey.press(117);  // not the chosen key
    EXPECT_FALSE(player.muted);
    player.state = MediaPlayer::kBuffering;
    hotKey.press(116);
    EXPECT_FALSE(player.muted);
}

TEST_F(MainWindow, TheEditorAddsUnderAGenreViewAndReturnsToTheRoot) {
    ASSERT_EQ(options()->stationCountText(), QStringLiteral("当前共有电台5个"));  // made before
    ui().TreeView1->setCurrentItem(node(QStringLiteral("爵士乐")));
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->size(), QSize(404, 241));
        EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_FALSE(form->Button1->isVisible());
        EXPECT_EQ(form->countryBox->itemText(form->countryBox->count() - 1),
                  QStringLiteral("佐治亚"));
        form->nameBox->setText(QStringLiteral("新电台"));
        form->countryBox->setEditText(QStringLiteral("中国"));
        form->addressBox->setText(QStringLiteral("https://a.example/live"));
        form->sendToAuthor->setChecked(false);
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(ui().ToolButton9, Qt::LeftButton);
    EXPECT_EQ(window->core().table().totalCount(), 6);
    EXPECT_EQ(window->core().table().row(5).text(Field::category), QStringLiteral("用户自定义"));
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));
    EXPECT_EQ(ui().TreeView1->topLevelItem(0)->text(0), QStringLiteral("所有电台 (6)"));
    EXPECT_EQ(options()->stationCountText(), QStringLiteral("当前共有电台6个"));
    EXPECT_TRUE(desktop.opened.isEmpty());

    // Under 用户自定义 the editor modifies; cancelling a delete closes and changes nothing.
    ui().TreeView1->setCurrentItem(node(QStringLiteral("用户自定义")));
    EXPECT_EQ(ui().ToolButton9->toolTip(), QStringLiteral("修改电台"));
    dialogs.answers = {false};
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->nameBox->text(), QStringLiteral("新电台"));
        EXPECT_TRUE(form->Button1->isVisible());
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    });
    QTest::mouseClick(ui().ToolButton9, Qt::LeftButton);
    EXPECT_EQ(window->core().table().totalCount(), 6);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("是否删除当前电台？"));
}

TEST_F(MainWindow, TheEditorClosesOnEscAndPutsTheCursorAfterTheScheme) {
    StationEditor editor(window->core().table(), dialogs, desktop, StationEditor::Mode::add,
                         {.countChanged = [] {}, .selectRoot = [] {}});
    TForm3 form(editor, dialogs, window.get());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.addressBox->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.addressBox->cursorPosition(), 7);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(window->core().table().totalCount(), 5);
}

TEST_F(MainWindow, RecordsThroughTheButtonIntoTheRecordingFolder) {
    EXPECT_EQ(ui().ComboBox2->count(), 1);
    EXPECT_EQ(ui().ComboBox2->currentText(), QStringLiteral("Monitor of Null Output"));
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("请在播放状态下使用录音功能."));

    clickRow(4);
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    player.state = MediaPlayer::kPlaying;
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    EXPECT_EQ(ui().ToolButton8->toolTip(), QStringLiteral("停止录音"));
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\0'));
    window->Timer5Timer();
    EXPECT_EQ(ui().panels[2]->text(), QStringLiteral("已录音:00:00:01 - 0.02 MB"));
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    EXPECT_EQ(ui().ToolButton8->toolTip(), QStringLiteral("开始录音"));
    EXPECT_EQ(ui().panels[2]->text(), QString());
    window->core().encoder().pipeline().waitForDone();
    const QStringList mp3s =
        QDir(folder.path()).entryList({QStringLiteral("Jazz FM - *.mp3")}, QDir::Files);
    EXPECT_EQ(mp3s.size(), 1) << QDir(folder.path()).entryList().join(u',').toStdString();
    EXPECT_EQ(window->core().fields().title2, QString());  // emptied once encoded
}

TEST_F(MainWindow, ExitWhileRecordingSavesTheRecordingFirst) {
    clickRow(4);
    QTest::mouseClick(ui().ToolButton2, Qt::LeftButton);
    player.state = MediaPlayer::kPlaying;
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    capture.feed(QByteArray(2 * WaveStream::kBytesPerSecond, '\0'));
    window->core().fields().armedFinishAction = QStringLiteral("关机");  // a task's, still armed
    window->N2Click();  // 退出 in the middle of it
    EXPECT_EQ(runEnded, 1);
    EXPECT_TRUE(power.calls.isEmpty());  // quitting does not shut the computer down
    EXPECT_FALSE(capture.active);
    EXPECT_FALSE(window->core().encoder().pipeline().busy());  // encoded before the run ends
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("Jazz FM - *.mp3")}).size(), 1);
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

TEST_F(MainWindow, ARecordingACrashLeftIsRepairedAndSavedAtTheNextStart) {
    window.reset();
    {
        WaveStream crashed;  // never finished: the program died while recording
        crashed.create(folder.filePath(QStringLiteral("Jazz FM - 2026120913.wav")));
        const QByteArray pcm = QByteArray(WaveStream::kBytesPerSecond, '\0');
        crashed.append(pcm.constData(), pcm.size());
    }
    window = std::make_unique<TForm1>(folder.path(), windowServices(folder.path()));
    window->show();
    window->core().encoder().pipeline().waitForDone();
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("Jazz FM - 2026120913.wav")))
        << dialogs.shown.last().text.toStdString();
    // Named after the recording's own station and time, not after whatever plays now.
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.mp3")}),
              QStringList{"Jazz FM - 2026120913.mp3"});
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
    window->close();
    window->restoreFromTray();  // once a run, not at every show
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(MainWindow, AMissingRecordingFolderAsksForOneAtEachShow) {
    ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("option.ini")),
                          "[info]\nrecord=/no/such/folder\n"));
    window->close();
    bool optionsShown = false;
    QTimer::singleShot(0, [&] {
        optionsShown = options()->isVisible();
        options()->PageControl1->setCurrentIndex(0);  // the user looks elsewhere, then closes
        options()->reject();
    });
    window->restoreFromTray();
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().text,
              QStringLiteral("当前录音目录为空或者不存在,请选择“录音设置”标签,重新进行设置."));
    EXPECT_TRUE(optionsShown);
    EXPECT_EQ(options()->PageControl1->currentWidget(), options()->TabSheet3);
}

TEST_F(MainWindow, TheOptionsWindowOpensFromToolbarAndTrayAndFollowsTheLogOnEntry) {
    QPoint at;
    const auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            ASSERT_EQ(QApplication::activeModalWidget(), options());
            at = options()->frameGeometry().topLeft() - window->frameGeometry().topLeft();
            options()->reject();
        });
    };
    closeWhenShown();
    QTest::mouseClick(ui().btn1, Qt::LeftButton);
    EXPECT_EQ(at, QPoint(80, 40));
    EXPECT_TRUE(options()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    closeWhenShown();
    const auto trayItem = [&](const QString& text) {
        for (QAction* action : window->trayMenu()->actions())
            if (action->text() == text)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    trayItem(QStringLiteral("设置..."))->trigger();
    EXPECT_EQ(at, QPoint(80, 40));
    trayItem(QStringLiteral("赞助作者..."))->trigger();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_TRUE(desktop.opened[0].toString().endsWith(QStringLiteral("/contact.html")));

    // Each show of the main window reads the log-on entry into the box, and writes nothing.
    EXPECT_FALSE(options()->CheckBox1->isChecked());
    autostart.present = true;
    window->close();
    window->restoreFromTray();
    EXPECT_TRUE(options()->CheckBox1->isChecked());
    EXPECT_TRUE(autostart.program.isEmpty());

    // Unticking "您需要做" stops the power timer of the main window; saving ticked starts it.
    EXPECT_TRUE(window->timer4().isActive());
    options()->CheckBox2->click();  // ticked
    EXPECT_TRUE(window->timer4().isActive());
    options()->CheckBox2->click();  // unticked
    EXPECT_FALSE(window->timer4().isActive());
    options()->CheckBox2->click();  // ticked again: stopped until saved
    EXPECT_FALSE(window->timer4().isActive());
    options()->Button2Click();
    EXPECT_TRUE(window->timer4().isActive());
    // Unticked and closed unsaved; the file, read again at the next show, says armed: it is.
    options()->CheckBox2->click();
    options()->Button1Click();
    EXPECT_FALSE(window->timer4().isActive());
    window->close();
    window->restoreFromTray();
    EXPECT_TRUE(options()->CheckBox2->isChecked());
    EXPECT_TRUE(window->timer4().isActive());
}

TEST_F(MainWindow, TheTimeButtonSetsTheClockAndItsMenuIsTheWorldClock) {
    // Filled at creation from the window's clock (12:00 local), kept current by Timer1.
    const QList<QAction*> cities = ui().cityClocks->actions();
    ASSERT_EQ(cities.size(), 15);
    EXPECT_EQ(cities[0]->text(), QStringLiteral("罗马    05:00"));
    clock.at.setTime(QTime(9, 30));
    window->Timer1Timer();
    EXPECT_EQ(cities[8]->text(), QStringLiteral("东京    10:30"));

    DaytimeServer server("55927 12-01-01 02:03:04 00 0 0 150.0 UTC(NIST) *\r\n");
    QTest::mouseClick(ui().ToolButton10, Qt::LeftButton, {}, QPoint(8, 8));  // not the arrow
    ASSERT_TRUE(waitFor([this] { return !systemClock.set.isEmpty(); }, 10000));
    EXPECT_EQ(systemClock.set.first(),
              QDateTime(QDate(2012, 1, 1), QTime(2, 3, 4, 150), QTimeZone::utc()));
    // The tray's 网络对时 does the same.
    for (QAction* action : window->trayMenu()->actions())
        if (action->text() == QStringLiteral("网络对时"))
            action->trigger();
    ASSERT_TRUE(waitFor([this] { return systemClock.set.size() == 2; }, 10000));
}

TEST_F(MainWindow, EachShowBringsNewStationsFromTheUpdateServer) {
    StationTable made(folder.filePath(QStringLiteral("made.cds")));
    made.append(StationRow::station(QStringLiteral("新来的电台"), QStringLiteral("中国"),
                                    QStringLiteral("新闻"), {}, QStringLiteral("http://h/new")));
    made.commitAndSave();
    LoopbackHttpServer server;
    server.addFile("/updatedb.xml", "text/xml", "<u><v>20121203</v><l>新来的电台</l></u>");
    server.addFile("/update.cds", "application/octet-stream",
                   readFile(made.savePath()).toStdString());
    // The first show's update (to a server that is not there) has ended.
    ASSERT_TRUE(waitFor([this] { return !window->core().catalogueUpdate().busy(); }, 10000));
    qputenv("CORVINATONE_SERVER", server.url("").toUtf8());
    window->close();
    window->restoreFromTray();
    const bool merged = waitFor([this] { return window->core().table().totalCount() == 6; }, 20000);
    PrivateHome::keepOffline();
    ASSERT_TRUE(merged);
    EXPECT_EQ(ui().TreeView1->topLevelItem(0)->text(0), QStringLiteral("所有电台 (6)"));
    // As it was at start, also in an options window made only now.
    EXPECT_EQ(window->findChild<TForm2*>(), nullptr);
    EXPECT_EQ(options()->stationCountText(), QStringLiteral("当前共有电台5个"));
    ASSERT_TRUE(waitFor([this] { return !window->core().catalogueUpdate().busy(); }, 5000));
    options()->show();
    EXPECT_EQ(options()->Edit2->text(), QStringLiteral("20121203"));
    options()->hide();
    emit window->trayIcon()->balloonClicked();
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("新来的电台"));
}

TEST_F(MainWindow, ANewerProgramIsOfferedInTheUpdateWindow) {
    LoopbackHttpServer server;
    server.addFile("/update.xml", "text/xml", "<u><v>222</v><n>2.22</n><c>更快\n更稳</c></u>");
    qputenv("CORVINATONE_SERVER", server.url("").toUtf8());
    QString offer, changes, title;
    QSize size;
    QPoint at;
    QTimer::singleShot(0, [&] {
        QTimer poll;  // the window opens once the descriptor has come
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* form = qobject_cast<TForm4*>(QApplication::activeModalWidget())) {
                offer = form->offer->text();
                changes = form->changes->toPlainText();
                title = form->windowTitle();
                size = form->size();
                at = form->frameGeometry().topLeft() - window->frameGeometry().topLeft();
                QTest::mouseClick(form->Button2, Qt::LeftButton);  // 关闭
            }
        });
        poll.start(20);
        waitFor([&] { return !offer.isEmpty(); }, 15000);
    });
    for (QAction* action : window->trayMenu()->actions())
        if (action->text() == QStringLiteral("立即更新"))
            action->trigger();
    waitFor([&] { return !offer.isEmpty() && !window->core().programUpdate().busy(); }, 15000);
    PrivateHome::keepOffline();
    EXPECT_EQ(offer, QStringLiteral("发现2.22新版本，是否更新？"));
    EXPECT_EQ(changes, QStringLiteral("更快\n更稳"));
    EXPECT_EQ(title, QStringLiteral("更新 Corvinatone"));
    EXPECT_EQ(size, QSize(402, 301));
    EXPECT_EQ(at, QPoint(180, 140));
    EXPECT_EQ(runEnded, 0);
}

TEST_F(MainWindow, TheUpdateWindowStaysWhileItDownloads) {
    ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("corvinatone")), "the old program"));
    {
        LoopbackHttpServer server;
        server.addStream("/Corvinatone.exe");  // never ends
        qputenv("CORVINATONE_SERVER", server.url("").toUtf8());
        auto form = std::make_unique<TForm4>(
            window->core().programUpdate(),
            *UpdateDescriptor::parse("<u><v>222</v><n>2.22</n></u>"), window.get());
        form->show();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return form->ProgressBar1->value() > 0; }, 10000));
        EXPECT_FALSE(form->Button2->isEnabled());
        QTest::keyClick(form.get(), Qt::Key_Escape);
        form->close();
        EXPECT_TRUE(form->isVisible());
        form.reset();  // gone all the same (the program ends): the download's end finds no window
        PrivateHome::keepOffline();
    }
    waitFor([this] { return !dialogs.shown.isEmpty(); }, 10000);
    EXPECT_EQ(readFile(folder.filePath(QStringLiteral("corvinatone"))),
              QByteArray("the old program"));
    EXPECT_EQ(runEnded, 0);
}

TEST(WindowFont, LatinAndChineseTextAreDrawnInTheDesktopsChineseSansSerif) {
    const QString family = chineseSansSerif();
    if (family.isEmpty())
        GTEST_SKIP() << "no Chinese font installed";
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        << family.toStdString();
    const QFont before = QApplication::font();
    useChineseSansSerif();
    QLabel label(QStringLiteral("Radio 电台"));
    EXPECT_EQ(QFontInfo(label.font()).family(), family);
    EXPECT_EQ(label.font().pointSizeF(), before.pointSizeF());  // the desktop's size stays
    QApplication::setFont(before);
}
