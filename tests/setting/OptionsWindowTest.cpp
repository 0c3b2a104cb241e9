// SPDX-License-Identifier: GPL-3.0-or-later
// The options window through its real controls, offscreen, with a private autostart folder.
#include "platform/Autostart.h"
#include "setting/MakerLinks.h"
#include "setting/OptionsStore.h"
#include "setting/ServerAddresses.h"
#include "setting/TForm2.h"
#include "support/FakeDialogs.h"
#include "support/FakeServices.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

class ChoosyDesktop : public FakeDesktop {
  public:
    bool openUrl(const QUrl& url) override {
        FakeDesktop::openUrl(url);
        return accepts;
    }
    bool accepts = true;
};

class OptionsWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString iniPath() const { return dir.filePath(QStringLiteral("option.ini")); }
    QString entryPath() const { return autostart.entryPath(); }
    // Near the left edge: a check box's free space right of its text takes no clicks.
    void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void chooseRecordFolder() {
        form.Edit1->clear();
        QTest::keyClicks(form.Edit1, dir.path());
    }

    QTemporaryDir dir;
    OptionsStore options{iniPath()};
    FakeDialogs dialogs;
    ChoosyDesktop desktop;
    XdgAutostart autostart{dir.filePath(QStringLiteral("autostart"))};
    QList<bool> powerTimer;  // Timer4 switched on (true) or off (false)
    int updateChecks = 0;
    TForm2 form{{.options = options,
                 .dialogs = dialogs,
                 .desktop = desktop,
                 .autostart = autostart,
                 .powerTimer = [this](bool on) { powerTimer << on; },
                 .checkupdate = [this] { ++updateChecks; }}};
};

}  // namespace

TEST_F(OptionsWindow, OpensOnTheRecordingTabAndLaterOnTheTabLastShown) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("选项"));
    EXPECT_EQ(form.size(), QSize(403, 408));
    form.show();
    EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet3);
    form.PageControl1->setCurrentIndex(3);
    form.hide();
    form.show();
    EXPECT_EQ(form.PageControl1->currentIndex(), 3);
}

TEST_F(OptionsWindow, NoRecordingFolderBlocksSaveAndCloseAndLeadsToTheField) {
    form.show();
    for (QPushButton* button : {form.Button2, form.Button1}) {
        for (const QString& folder : {QString(), dir.filePath(QStringLiteral("gone"))}) {
            dialogs.shown.clear();
            form.Edit1->setText(folder);
            form.PageControl1->setCurrentIndex(4);
            form.Button2->setFocus();
            click(button);
            ASSERT_EQ(dialogs.shown.size(), 1);
            EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.21"));
            EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("当前录音目录为空,请重新进行设置！"));
            EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::information);
            EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet3);
            EXPECT_EQ(form.focusWidget(), form.Edit1);
            EXPECT_TRUE(form.isVisible());
        }
    }
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_TRUE(powerTimer.isEmpty());
}

TEST_F(OptionsWindow, SaveWritesTheFileStartsTimer4AndShowsTheStatus) {
    QString status;
    QObject::connect(&options, &OptionsStore::remindLoaded,
                     [&](const QString& text) { status = text; });
    form.show();
    chooseRecordFolder();
    click(form.CheckBox2);
    click(form.RadioButton2);
    form.DateTimePicker1->setTime(QTime(23, 5, 9));
    click(form.CheckBox4);
    form.ComboBox1->setCurrentIndex(10);
    click(form.Button2);

    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(powerTimer, QList<bool>{true});
    EXPECT_EQ(status, QStringLiteral("电脑待机----已启动"));
    const QString text = QString::fromUtf8(readFile(iniPath()));
    for (const QString& line :
         {QStringLiteral("mission=1"), QStringLiteral("kind=1"), QStringLiteral("time=23:05:09"),
          QStringLiteral("close=1"), QStringLiteral("mute=10"), QStringLiteral("style=0"),
          QStringLiteral("record=") + dir.path(), QStringLiteral("remind=电脑待机----已启动")})
        EXPECT_TRUE(text.contains(line + u'\n')) << line.toStdString() << "\n"
                                                 << text.toStdString();
}

TEST_F(OptionsWindow, AFileThatCannotBeWrittenKeepsTheWindowOpen) {
    ASSERT_TRUE(QDir().mkpath(iniPath()));  // a folder where the file should go
    form.show();
    chooseRecordFolder();
    click(form.Button2);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::error);
    EXPECT_TRUE(dialogs.shown[0].text.contains(iniPath())) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(form.isVisible());
}

TEST_F(OptionsWindow, WmaClosedWithoutSavingLastsUntilTheNextLoad) {
    ASSERT_TRUE(writeFile(iniPath(), "[info]\nstyle=0\nrecord=" + QFile::encodeName(dir.path())));
    options.loadini();
    form.show();
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Mp3格式"));
    form.ComboBox2->setCurrentIndex(1);
    EXPECT_EQ(options.style, 1);  // recordings are WMA from now on
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Wma格式"));
    click(form.ToolButton2);
    EXPECT_EQ(desktop.opened, QList<QUrl>{MakerLinks::formatArticle(1)});
    click(form.Button1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(options.style, 1);
    EXPECT_TRUE(readFile(iniPath()).contains("style=0"));

    options.loadini();  // the main window's next show
    EXPECT_EQ(options.style, 0);
    EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("Mp3"));
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Mp3格式"));
}

TEST_F(OptionsWindow, ControlsFollowEachLoad) {
    ASSERT_TRUE(writeFile(iniPath(),
                          "[info]\nmission=1\nkind=2\ntime=07:30:00\nplay=1\nmute=3\n"
                          "style=1\nopen=1\nupdate=1\nupdatedb=0\ndb=20130101\n"));
    options.loadini();
    EXPECT_TRUE(form.CheckBox2->isChecked());
    EXPECT_TRUE(form.DateTimePicker1->isEnabled());
    EXPECT_FALSE(form.RadioButton3->isHidden());
    EXPECT_TRUE(form.RadioButton3->isChecked());
    EXPECT_EQ(form.DateTimePicker1->time(), QTime(7, 30));
    EXPECT_TRUE(form.CheckBox3->isChecked());
    EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("F5"));
    EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("Wma"));
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Wma格式"));
    EXPECT_TRUE(form.CheckBox5->isChecked());
    EXPECT_TRUE(form.CheckBox6->isChecked());
    EXPECT_FALSE(form.CheckBox7->isChecked());
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("20130101"));
    EXPECT_TRUE(powerTimer.isEmpty());

    // A load that disarms acts as unticking the box; an unknown format leaves the button alone.
    ASSERT_TRUE(writeFile(iniPath(), "[info]\nmission=0\nmute=11\nstyle=7\nkind=5\n"));
    options.loadini();
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_FALSE(form.DateTimePicker1->isEnabled());
    EXPECT_TRUE(form.RadioButton1->isHidden());
    EXPECT_EQ(powerTimer, QList<bool>{false});
    EXPECT_EQ(form.ComboBox1->currentIndex(), -1);  // 11 is no key: none chosen,
    EXPECT_EQ(options.muteHotKey, 116);             // the key in effect kept
    EXPECT_EQ(form.ComboBox2->currentIndex(), -1);
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Wma格式"));
    for (QRadioButton* choice : {form.RadioButton1, form.RadioButton2, form.RadioButton3})
        EXPECT_FALSE(choice->isChecked());
}

TEST_F(OptionsWindow, UntickingThePowerActionStopsTimer4UntilTheNextSave) {
    form.show();
    EXPECT_FALSE(form.DateTimePicker1->isEnabled());
    EXPECT_TRUE(form.RadioButton1->isHidden());
    click(form.CheckBox2);
    EXPECT_TRUE(options.mission);
    EXPECT_TRUE(form.DateTimePicker1->isEnabled());
    EXPECT_FALSE(form.RadioButton1->isHidden());
    click(form.CheckBox2);
    EXPECT_FALSE(options.mission);
    EXPECT_FALSE(form.DateTimePicker1->isEnabled());
    EXPECT_TRUE(form.RadioButton1->isHidden());
    click(form.CheckBox2);
    chooseRecordFolder();
    click(form.Button1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(powerTimer, QList<bool>{false});
    EXPECT_TRUE(options.mission);
}

TEST_F(OptionsWindow, TheMuteKeyTakesEffectAtOnce) {
    form.ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(options.mute, 0);
    EXPECT_EQ(options.muteHotKey, 113);  // F2
    QTest::keyClick(form.ComboBox1, Qt::Key_Down);
    EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("F3"));
    EXPECT_EQ(options.muteHotKey, 114);
}

TEST_F(OptionsWindow, TheLogOnEntryFollowsTheBox) {
    form.show();
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_FALSE(QFile::exists(entryPath()));  // showing the window writes nothing
    click(form.CheckBox1);
    EXPECT_EQ(readFile(entryPath()),
              "[Desktop Entry]\nType=Application\nName=Corvinatone\nExec=" +
                  XdgAutostart::execValue(QCoreApplication::applicationFilePath()).toUtf8() + "\n");
    click(form.CheckBox1);
    EXPECT_FALSE(QFile::exists(entryPath()));

    // An entry made elsewhere, for another path, is shown and kept.
    const QByteArray other = "[Desktop Entry]\nType=Application\nName=Corvinatone\nExec=/opt/x\n";
    ASSERT_TRUE(writeFile(entryPath(), other));
    form.Startcheck();
    EXPECT_TRUE(form.CheckBox1->isChecked());
    form.CheckBox1->setChecked(false);
    click(form.CheckBox1);
    EXPECT_EQ(readFile(entryPath()), other);

    ASSERT_TRUE(QFile::remove(entryPath()));
    form.hide();
    form.show();
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_FALSE(QFile::exists(entryPath()));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(OptionsWindow, AnUnwritableAutostartFolderChangesAndSaysNothing) {
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("autostart")), "not a folder"));
    form.show();
    click(form.CheckBox1);
    EXPECT_FALSE(autostart.exists());
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("autostart"))), "not a folder");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(OptionsWindow, TheFolderChooserFillsTheFieldUnlessCancelled) {
    QString asked;
    QString answer = dir.path();
    form.chooseFolder = [&](QWidget*, const QString& title) {
        asked = title;
        return answer;
    };
    click(form.SpeedButton4);
    EXPECT_EQ(asked, QStringLiteral("请选择录音文件的存放目录:"));
    EXPECT_EQ(form.Edit1->text(), dir.path());
    EXPECT_EQ(options.record, dir.path());
    answer.clear();
    click(form.SpeedButton4);
    EXPECT_EQ(options.record, dir.path());

    click(form.SpeedButton6);
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
    form.Edit1->clear();
    click(form.SpeedButton6);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请先设置录音存放目录。"));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::warning);
}

TEST_F(OptionsWindow, ContactAndDonationControls) {
    QTest::mouseClick(form.Label1, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), MakerLinks::alipayAccount());
    QTest::mouseClick(form.Label8, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), MakerLinks::tenpayAccount());

    click(form.SpeedButton2);  // the QQ client took the link
    EXPECT_TRUE(dialogs.shown.isEmpty());
    desktop.accepts = false;
    click(form.SpeedButton2);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请检测是否安装了QQ客户端！"));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::warning);
    EXPECT_EQ(desktop.opened.last(), MakerLinks::qqContact());

    click(form.btnButton3);
    const QUrl mail = desktop.opened.last();
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), ServerAddresses::makerMail());
    EXPECT_EQ(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("我想在添加_____的功能"));
    EXPECT_TRUE(mail.toEncoded().endsWith(
        "?subject=%E6%88%91%E6%83%B3%E5%9C%A8%E6%B7%BB%E5%8A%A0_____%E7%9A%84%E5%8A%9F%E8%83%BD"))
        << mail.toEncoded().toStdString();

    click(form.BitBtn1);
    EXPECT_EQ(updateChecks, 1);
}
