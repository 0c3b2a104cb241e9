// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/TForm2.h"

#include "AppInfo.h"
#include "platform/Autostart.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "setting/MakerLinks.h"
#include "setting/OptionsStore.h"
#include "setting/RecordFolder.h"
#include "setting/ServerAddresses.h"
#include "setting/SettingTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

TForm2::TForm2(TForm2Services services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setupUi(this);
    chooseFolder = [](QWidget* parent, const QString& title) {
        return QFileDialog::getExistingDirectory(parent, title, QString());
    };
    for (QLabel* label : {Label7, Label1, Label8})
        label->installEventFilter(this);
    Label7MouseLeave();
    showOptions();
    showFormat(options().style == 1 ? 1 : 0);
    wireControls();
}

void TForm2::wireControls() {
    OptionsStore& o = options();
    // Every change takes effect at once; only "保存" reaches the file.
    const auto flag = [this](QCheckBox* box, bool& value) {
        connect(box, &QCheckBox::clicked, this, [box, &value] { value = box->isChecked(); });
    };
    flag(CheckBox3, o.play);
    flag(CheckBox4, o.close);
    flag(CheckBox5, o.open);
    flag(CheckBox6, o.update);
    flag(CheckBox7, o.updatedb);
    connect(DateTimePicker1, &QTimeEdit::timeChanged, this, [&o](QTime t) { o.time = t; });
    connect(kindGroup, &QButtonGroup::idClicked, this, [&o](int id) { o.kind = id; });
    connect(Edit1, &QLineEdit::textChanged, this, [&o](const QString& text) { o.record = text; });

    const auto click = [this](QAbstractButton* button, void (TForm2::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    click(Button2, &TForm2::Button2Click);
    click(Button1, &TForm2::Button1Click);
    click(CheckBox1, &TForm2::CheckBox1Click);
    click(CheckBox2, &TForm2::CheckBox2Click);
    click(ToolButton2, &TForm2::ToolButton2Click);
    click(SpeedButton1, &TForm2::SpeedButton1Click);
    click(SpeedButton2, &TForm2::SpeedButton2Click);
    click(SpeedButton3, &TForm2::SpeedButton3Click);
    click(SpeedButton4, &TForm2::SpeedButton4Click);
    click(SpeedButton5, &TForm2::SpeedButton5Click);
    click(SpeedButton6, &TForm2::SpeedButton6Click);
    click(SpeedButton7, &TForm2::SpeedButton7Click);
    click(SpeedButton8, &TForm2::SpeedButton8Click);
    click(BitBtn1, &TForm2::BitBtn1Click);
    click(btnButton3, &TForm2::btnButton3Click);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox2Change);
    connect(LinkLabel1, &QLabel::linkActivated, this, &TForm2::LinkLabel1Click);
    connect(LinkLabel2, &QLabel::linkActivated, this, &TForm2::LinkLabel2Click);

    connect(&o, &OptionsStore::loaded, this, &TForm2::showOptions);
    connect(&o, &OptionsStore::styleSelected, this, &TForm2::showFormat);
    // A load that changes the box acts as a click on it: disarming stops Timer4.
    connect(&o, &OptionsStore::missionChanged, this, [this](bool mission) {
        CheckBox2->setChecked(mission);
        CheckBox2Click();
    });
}

void TForm2::showOptions() {
    const OptionsStore& o = options();
    CheckBox3->setChecked(o.play);
    CheckBox4->setChecked(o.close);
    CheckBox5->setChecked(o.open);
    CheckBox6->setChecked(o.update);
    CheckBox7->setChecked(o.updatedb);
    CheckBox2->setChecked(o.mission);
    showMission(o.mission);
    const QSignalBlocker quietTime(DateTimePicker1), quietFolder(Edit1), quietMute(ComboBox1),
        quietStyle(ComboBox2);
    DateTimePicker1->setTime(o.time);
    Edit1->setText(o.record);
    ComboBox1->setCurrentIndex(o.mute);  // -1 selects none
    ComboBox2->setCurrentIndex(o.style);
    if (QAbstractButton* choice = kindGroup->button(o.kind)) {
        choice->setChecked(true);
    } else {
        kindGroup->setExclusive(false);  // an exclusive group cannot show no choice
        for (QAbstractButton* b : kindGroup->buttons())
            b->setChecked(false);
        kindGroup->setExclusive(true);
    }
    Edit2->setText(o.db);
}

void TForm2::setStationCountText(const QString& text) {
    stationCount->setText(text);
}

QString TForm2::stationCountText() const {
    return stationCount->text();
}

void TForm2::Startcheck() {
    CheckBox1->setChecked(services_.autostart.exists());
}

void TForm2::showEvent(QShowEvent* event) {
    showOptions();  // what changed meanwhile, such as the catalogue version after an update
    Startcheck();
    QDialog::showEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == Label7) {
        if (type == QEvent::Enter)
            Label7MouseEnter();
        else if (type == QEvent::Leave)
            Label7MouseLeave();
        else if (type == QEvent::MouseButtonRelease)
            guarded([this] { SpeedButton5Click(); });
    } else if (type == QEvent::MouseButtonRelease && watched == Label1) {
        Label1Click();
    } else if (type == QEvent::MouseButtonRelease && watched == Label8) {
        Label8Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::guarded(const std::function<void()>& handler) {
    reportFailures(services_.dialogs, handler);
}

bool TForm2::recordFolderSet() {
    if (RecordFolder::usable(Edit1->text()))
        return true;
    services_.dialogs.message(AppInfo::title(), SettingTexts::recordFolderEmpty(),
                              Dialogs::Icon::information);
    PageControl1->setCurrentWidget(TabSheet3);
    Edit1->setFocus();
    return false;
}

void TForm2::Button2Click() {
    if (!recordFolderSet())
        return;
    options().saveini();
    options().loadini();
    if (CheckBox2->isChecked())
        services_.powerTimer(true);
    close();
}

void TForm2::Button1Click() {
    if (recordFolderSet())
        close();
}

void TForm2::CheckBox1Click() {
    // A folder that cannot be written changes nothing; the box says what was asked.
    Autostart& entry = services_.autostart;
    if (CheckBox1->isChecked()) {
        if (!entry.exists())
            entry.add(QCoreApplication::applicationFilePath());
    } else if (entry.exists()) {
        entry.remove();
    }
}

void TForm2::CheckBox2Click() {
    options().mission = CheckBox2->isChecked();
    showMission(options().mission);
    if (!options().mission)
        services_.powerTimer(false);
}

void TForm2::showMission(bool mission) {
    DateTimePicker1->setEnabled(mission);
    for (QAbstractButton* choice : kindGroup->buttons())
        choice->setVisible(mission);
}

void TForm2::ComboBox1Change(int index) {
    options().setMute(index);
}

void TForm2::ComboBox2Change(int index) {
    options().style = index;
    showFormat(index);
}

void TForm2::showFormat(int style) {
    if (style != 0 && style != 1)
        return;
    shownFormat_ = style;
    ToolButton2->setIcon(TForm2Ui::formatIcon(style));
    ToolButton2->setToolTip(SettingTexts::formatHint(style));
}

void TForm2::openLink(const QUrl& url) {
    services_.desktop.openUrl(url);
}

void TForm2::ToolButton2Click() {
    openLink(MakerLinks::formatArticle(shownFormat_));
}

void TForm2::SpeedButton4Click() {
    const QString folder = chooseFolder(this, SettingTexts::chooseFolderTitle());
    if (!folder.isEmpty())
        Edit1->setText(QDir::toNativeSeparators(folder));
}

void TForm2::SpeedButton6Click() {
    RecordFolder::open(Edit1->text(), services_.dialogs, services_.desktop);
}

void TForm2::BitBtn1Click() {
    services_.checkupdate();
}

void TForm2::Label7MouseEnter() {
    Label7->setStyleSheet(QStringLiteral("color: red;"));
}

void TForm2::Label7MouseLeave() {
    Label7->setStyleSheet(QStringLiteral("color: blue;"));
}

void TForm2::SpeedButton5Click() {
    openLink(MakerLinks::sinaWeibo());
}

void TForm2::SpeedButton7Click() {
    openLink(MakerLinks::tencentWeibo());
}

void TForm2::SpeedButton3Click() {
    openLink(QUrl(ServerAddresses::homePage()));
}

void TForm2::SpeedButton2Click() {
    if (!services_.desktop.openUrl(MakerLinks::qqContact()))
        services_.dialogs.message(AppInfo::title(), SettingTexts::noQqClient(),
                                  Dialogs::Icon::warning);
}

void TForm2::SpeedButton1Click() {
    openLink(MakerLinks::alipayPage());
}

void TForm2::SpeedButton8Click() {
    openLink(MakerLinks::tenpayPage());
}

void TForm2::Label1Click() {
    QGuiApplication::clipboard()->setText(Label1->text());
}

void TForm2::Label8Click() {
    QGuiApplication::clipboard()->setText(Label8->text());
}

void TForm2::btnButton3Click() {
    openLink(MakerLinks::customEditionMail());
}

void TForm2::LinkLabel1Click() {
    openLink(MakerLinks::credit1());
}

void TForm2::LinkLabel2Click() {
    openLink(MakerLinks::credit2());
}
