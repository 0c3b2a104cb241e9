// SPDX-License-Identifier: GPL-3.0-or-later
// The task editor and the task list, through the real main window offscreen.
#include "recording/WaveStream.h"
#include "scheduler/TaskRunner.h"
#include "support/MainWindowFixture.h"
#include "support/QtPrinters.h"
#include "time/TForm5.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

#include <sys/resource.h>
#include <csignal>

namespace {

class Tasks : public MainWindow {
  protected:
    // Presses the task button; act works in the editor while it is shown, then the editor is
    // confirmed unless act closed it.
    void editTask(const std::function<void(TForm5*)>& act, bool confirm = true) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TForm5*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            seen = true;
            act(form);
            if (confirm && form->isVisible())
                QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
            if (form->isVisible())
                form->reject();
        });
        QTest::mouseClick(ui().ToolButton5, Qt::LeftButton);
        EXPECT_TRUE(seen);
    }
    // The row of that station as rd.cds holds it.
    StationRow stored(const QString& name) const {
        window->core().table().saver().wait();
        StationTable onDisk(folder.filePath(QStringLiteral("rd.cds")));
        onDisk.loadFromFile(onDisk.savePath());
        for (int i = 0; i < onDisk.totalCount(); ++i)
            if (onDisk.row(i).text(Field::stationName) == name)
                return onDisk.row(i).toRow();
        ADD_FAILURE() << name.toStdString();
        return {};
    }
    static void setTime(QDateTimeEdit* picker, QTime time) {
        picker->setDateTime(QDateTime(picker->date(), time));
    }
    void openTaskList() { ui().TreeView1->setCurrentItem(node(QStringLiteral("电台任务"))); }
};

}  // namespace

TEST_F(Tasks, ANewTaskWithTheDefaultsIsStoredAndRunsAtItsSecond) {
    EXPECT_EQ(ui().ToolButton5->toolTip(), QStringLiteral("添加计划"));
    clickRow(2);
    editTask([this](TForm5* form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("计划任务"));
        EXPECT_EQ(form->frameGeometry().topLeft() - window->frameGeometry().topLeft(),
                  QPoint(200, 60));
        EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(form->LabeledEdit1->text(), QStringLiteral("My radio"));
        EXPECT_TRUE(form->LabeledEdit1->isReadOnly());
        EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("增加"));
        EXPECT_TRUE(form->playKind->isChecked());
        EXPECT_TRUE(form->RadioButton5->isChecked());
        EXPECT_FALSE(form->ComboBox1->isEnabled());
        EXPECT_EQ(form->DateTimePicker1->time(), QTime(15, 44, 49));
        EXPECT_EQ(form->DateTimePicker2->time(), QTime(15, 51, 17));
        EXPECT_FALSE(form->CheckBox1->isVisible());
        EXPECT_FALSE(form->ComboBox2->isVisible());
    });
    const StationRow row = stored(QStringLiteral("My radio"));
    EXPECT_EQ(row.text(Field::planType), QStringLiteral("定时播放"));
    EXPECT_EQ(row.text(Field::period), QString());
    EXPECT_EQ(row.text(Field::finishAction), QString());
    EXPECT_EQ(row.integer(Field::intervalSeconds), 388);
    EXPECT_EQ(row.dateTime(Field::startTime)->time(), QTime(15, 44, 49));
    EXPECT_EQ(row.dateTime(Field::startTime)->date(), clock.at.date());  // the pickers' day
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));
    EXPECT_EQ(listedNames().size(), 5);

    // The runner has it at once: due at 15:44:49.
    clock.at.setTime(QTime(15, 44, 48, 900));
    window->Timer1Timer();
    clock.at.setTime(QTime(15, 44, 49, 100));
    window->Timer1Timer();
    EXPECT_TRUE(player.calls.contains(QStringLiteral("URL=http://h/My radio")));
    EXPECT_TRUE(window->timer3().isActive());
    EXPECT_EQ(window->core().fields().playSource, PlaySource::Task);
}

TEST_F(Tasks, TheEditorStoresWhatItsControlsHold) {
    clickRow(1);
    editTask([](TForm5* form) {
        QTest::mouseClick(form->RadioButton4, Qt::LeftButton);
        EXPECT_TRUE(form->ComboBox1->isEnabled());
        EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("星期一"));
        form->ComboBox1->setCurrentIndex(2);
        QTest::mouseClick(form->recordKind, Qt::LeftButton);
        EXPECT_TRUE(form->CheckBox1->isVisible());
        EXPECT_FALSE(form->ComboBox2->isEnabled());
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("关机"));
        form->ComboBox2->setCurrentIndex(2);
        // Back to play only: the finish choice is hidden but stays.
        QTest::mouseClick(form->playKind, Qt::LeftButton);
        EXPECT_FALSE(form->ComboBox2->isVisible());
        setTime(form->DateTimePicker1, QTime(8, 0));
        setTime(form->DateTimePicker2, QTime(7, 0));
    });
    StationRow row = stored(QStringLiteral("RADIO Two"));
    EXPECT_EQ(row.text(Field::planType), QStringLiteral("定时播放"));
    EXPECT_EQ(row.text(Field::period), QStringLiteral("星期三"));
    EXPECT_EQ(row.text(Field::finishAction), QStringLiteral("休眠"));
    EXPECT_EQ(row.integer(Field::intervalSeconds), 3600);

    // No wrap over midnight; back to every day empties the weekday.
    clickRow(3);
    editTask([](TForm5* form) {
        QTest::mouseClick(form->RadioButton4, Qt::LeftButton);
        QTest::mouseClick(form->RadioButton5, Qt::LeftButton);
        EXPECT_EQ(form->ComboBox1->currentText(), QString());
        setTime(form->DateTimePicker1, QTime(23, 0));
        setTime(form->DateTimePicker2, QTime(1, 0));
    });
    row = stored(QStringLiteral("radio three"));
    EXPECT_EQ(row.integer(Field::intervalSeconds), 79200);
    EXPECT_EQ(row.text(Field::period), QString());

    // The editor works on the station it was opened on, wherever the current row goes meanwhile
    // (a task's end, the tray's next station).
    clickRow(2);
    editTask([this](TForm5*) { window->core().table().moveTo(0); });
    EXPECT_EQ(stored(QStringLiteral("My radio")).integer(Field::intervalSeconds), 388);
    EXPECT_FALSE(stored(QStringLiteral("Radio One")).isTask());

    // Cancelling stores nothing.
    clickRow(4);
    editTask([](TForm5* form) { QTest::mouseClick(form->BitBtn2, Qt::LeftButton); }, false);
    EXPECT_FALSE(stored(QStringLiteral("Jazz FM")).isTask());
}

TEST_F(Tasks, ModifyModeShowsTheStoredTaskAndTheCatalogueShowsTheDefaults) {
    clickRow(1);
    editTask([](TForm5* form) {
        QTest::mouseClick(form->RadioButton4, Qt::LeftButton);
        form->ComboBox1->setCurrentIndex(2);
        QTest::mouseClick(form->recordKind, Qt::LeftButton);
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        form->ComboBox2->setEditText(QStringLiteral("休眠"));
        setTime(form->DateTimePicker1, QTime(8, 0));
        setTime(form->DateTimePicker2, QTime(9, 0));
    });
    clickRow(0);
    editTask([](TForm5*) {});  // a daily task, the defaults

    openTaskList();
    EXPECT_EQ(ui().PageControl1->currentIndex(), 1);
    EXPECT_EQ(ui().ToolButton5->toolTip(), QStringLiteral("修改计划"));
    EXPECT_EQ(ui().DBGrid2->toolTip(), QStringLiteral("双击删除计划"));
    ASSERT_EQ(ui().DBGrid2->model()->rowCount(), 2);
    EXPECT_EQ(ui().DBGrid1->model()->rowCount(), 0);  // only the list on show has rows
    EXPECT_EQ(ui().DBGrid2->model()->index(0, 3).data().toString(), QStringLiteral("15:44:49"));
    EXPECT_EQ(ui().DBGrid2->model()->index(1, 2).data().toString(), QStringLiteral("星期三"));
    clickRow(1, ui().DBGrid2);
    editTask(
        [](TForm5* form) {
            EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("修改"));
            EXPECT_EQ(form->LabeledEdit1->text(), QStringLiteral("RADIO Two"));
            EXPECT_TRUE(form->recordKind->isChecked());
            EXPECT_TRUE(form->RadioButton4->isChecked());
            EXPECT_TRUE(form->ComboBox1->isEnabled());
            EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("星期三"));
            EXPECT_TRUE(form->CheckBox1->isChecked());
            EXPECT_TRUE(form->ComboBox2->isVisible());
            EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("休眠"));
            EXPECT_EQ(form->DateTimePicker1->time(), QTime(8, 0));
            EXPECT_EQ(form->DateTimePicker2->time(), QTime(9, 0));
        },
        false);
    openTaskList();
    clickRow(0, ui().DBGrid2);
    editTask(
        [](TForm5* form) {
            EXPECT_TRUE(form->RadioButton5->isChecked());
            EXPECT_FALSE(form->ComboBox1->isEnabled());
            EXPECT_FALSE(form->CheckBox1->isVisible());
        },
        false);

    // From the whole catalogue, a station with a task opens on the defaults; saving replaces it.
    ui().TreeView1->setCurrentItem(ui().TreeView1->topLevelItem(0));
    clickRow(1);
    editTask([](TForm5* form) {
        EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("增加"));
        EXPECT_TRUE(form->playKind->isChecked());
        EXPECT_EQ(form->DateTimePicker1->time(), QTime(15, 44, 49));
    });
    const StationRow row = stored(QStringLiteral("RADIO Two"));
    EXPECT_EQ(row.text(Field::planType), QStringLiteral("定时播放"));
    EXPECT_EQ(row.text(Field::period), QString());
    EXPECT_EQ(row.integer(Field::intervalSeconds), 388);
}

TEST_F(Tasks, ADeletedTaskLeavesTheListAtOnceAndNeverRuns) {
    clickRow(4);
    editTask([](TForm5* form) {
        QTest::mouseClick(form->RadioButton4, Qt::LeftButton);  // Monday
        setTime(form->DateTimePicker1, QTime(6, 30));
    });
    openTaskList();
    ASSERT_EQ(ui().DBGrid2->model()->rowCount(), 1);
    dialogs.answers = {false};  // "Cancel" keeps it
    clickRow(0, ui().DBGrid2, true);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("是否删除此条计划？"));
    EXPECT_EQ(dialogs.shown.last().title, QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(ui().DBGrid2->model()->rowCount(), 1);
    EXPECT_TRUE(stored(QStringLiteral("Jazz FM")).isTask());

    // While the question waits, the current row moves (a task ends and shows all stations).
    dialogs.duringQuestion = [this] {
        window->core().table().setFilter(ViewFilter::all());
        window->core().table().moveTo(0);
    };
    clickRow(0, ui().DBGrid2, true);  // OK: back to all stations
    EXPECT_EQ(ui().PageControl1->currentIndex(), 0);
    EXPECT_EQ(ui().TreeView1->currentItem(), ui().TreeView1->topLevelItem(0));
    EXPECT_EQ(listedNames().size(), 5);
    const StationRow row = stored(QStringLiteral("Jazz FM"));
    EXPECT_FALSE(row.isTask());
    EXPECT_EQ(row.text(Field::period), QStringLiteral("星期一"));  // the other fields stay
    EXPECT_EQ(row.dateTime(Field::startTime)->time(), QTime(6, 30));
    EXPECT_EQ(row.integer(Field::intervalSeconds), 33677);

    clock.at = QDateTime(QDate(2026, 12, 14), QTime(6, 30));  // a Monday
    window->Timer1Timer();
    EXPECT_FALSE(player.calls.contains(QStringLiteral("URL=http://h/Jazz FM")));

    const int before = int(dialogs.shown.size());
    openTaskList();
    ASSERT_EQ(dialogs.shown.size(), before + 1);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("当前记录为空,请重新添加."));
}

TEST_F(Tasks, ATaskThatCannotBeSavedIsToldStillRunsAndIsSavedAtExit) {
    clickRow(0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 64;  // rd.cds cannot be written whole
    setrlimit(RLIMIT_FSIZE, &tiny);
    editTask([&](TForm5* form) { QTest::mouseClick(form->BitBtn1, Qt::LeftButton); });
    window->core().table().saver().wait();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(waitFor([&] { return !dialogs.shown.isEmpty(); }, 5000));
    EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::error);
    EXPECT_FALSE(stored(QStringLiteral("Radio One")).isTask());
    // What the list shows is what the runner runs.
    ASSERT_EQ(window->core().snapshot().rows.size(), 1u);
    EXPECT_EQ(window->core().snapshot().rows[0].text(Field::stationName),
              QStringLiteral("Radio One"));
    int listed = 0;
    for (int i = 0; i < window->core().table().totalCount(); ++i)
        listed += window->core().table().row(i).isTask();
    EXPECT_EQ(listed, 1);

    window->N2Click();  // tried once more, now with room on the disk
    EXPECT_TRUE(stored(QStringLiteral("Radio One")).isTask());
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST(TaskInterval, IsTheAbsoluteDifferenceInWholeSeconds) {
    const QDate day(2026, 12, 9);
    EXPECT_EQ(TaskPlans::intervalSeconds(QDateTime(day, QTime(23, 0)), QDateTime(day, QTime(1, 0))),
              79200);
    EXPECT_EQ(TaskPlans::intervalSeconds(QDateTime(day, QTime(8, 0, 0, 900)),
                                         QDateTime(day, QTime(8, 0, 2, 100))),
              1);
    EXPECT_EQ(TaskPlans::intervalSeconds(QDateTime(day, QTime(8, 0)),
                                         QDateTime(day.addYears(100), QTime(8, 0))),
              2147483647);
}

TEST_F(Tasks, StopAndTheRecordButtonEndOnlyTheCountdownOfARecordingTask) {
    clickRow(0);
    editTask([](TForm5* form) { QTest::mouseClick(form->recordKind, Qt::LeftButton); });
    const auto startDay = [&](int day) {
        clock.at = QDateTime(QDate(2026, 12, day), QTime(15, 44, 49));
        window->Timer1Timer();
        ASSERT_TRUE(window->core().recorder().recording());
        EXPECT_TRUE(window->timer3().isActive());
        EXPECT_EQ(ui().ToolButton8->toolTip(), QStringLiteral("停止录音"));
    };
    startDay(10);
    QTest::mouseClick(ui().ToolButton4, Qt::LeftButton);  // Stop: the recording goes on
    EXPECT_FALSE(window->timer3().isActive());
    EXPECT_TRUE(window->core().recorder().recording());
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    EXPECT_FALSE(window->core().recorder().recording());

    startDay(11);
    player.state = MediaPlayer::kPlaying;
    player.calls.clear();
    QTest::mouseClick(ui().ToolButton8,
                      Qt::LeftButton);  // the recording by hand: the station plays on
    EXPECT_FALSE(window->core().recorder().recording());
    EXPECT_FALSE(window->timer3().isActive());
    EXPECT_FALSE(player.calls.contains(QStringLiteral("Stop")));
    window->core().encoder().pipeline().waitForDone();
}

TEST_F(Tasks, TheDailyPowerActionSavesTheRecordingFirst) {
    window->core().options().mission = true;
    window->core().options().kind = 1;
    window->core().options().time = QTime(12, 0, 1);
    EXPECT_TRUE(window->timer4().isActive());  // on from the start
    player.state = MediaPlayer::kPlaying;
    QTest::mouseClick(ui().ToolButton8, Qt::LeftButton);
    ASSERT_TRUE(window->core().recorder().recording());
    capture.feed(QByteArray(WaveStream::kBytesPerSecond, '\x01'));
    clock.at.setTime(QTime(12, 0, 1, 300));
    window->core().powerTimer().Timer4Timer();
    EXPECT_FALSE(window->core().recorder().recording());
    EXPECT_EQ(ui().ToolButton8->toolTip(), QStringLiteral("开始录音"));
    window->core().encoder().pipeline().waitForDone();
    EXPECT_EQ(power.calls, QStringList{"Suspend"});
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.mp3")}).size(), 1);
}
