// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/TForm5.h"

#include "platform/Dialogs.h"
#include "scheduler/TaskTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QComboBox* choiceBox(const QStringList& items, QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);  // any typed text is stored as it is
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEnabled(false);
    return box;
}

QDateTimeEdit* timePicker(const QDateTime& value, QWidget* parent, const char* name) {
    auto* picker = new QDateTimeEdit(value, parent);
    picker->setObjectName(QLatin1String(name));
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return picker;
}

}  // namespace

TForm5::TForm5(TaskPlans& plans, Dialogs& dialogs, Mode mode, const QDate& today,
               const QString& wakeNote, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      plans_(plans),
      dialogs_(dialogs),
      mode_(mode),
      today_(today) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("计划任务"));
    setFixedSize(330, 338);
    setModal(true);
    const TaskPlans::Plan initial = TaskPlans::initialPlan(today);

    auto* nameLabel = new QLabel(QStringLiteral("电台名称:"), this);
    nameLabel->setGeometry(14, 12, 300, 18);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
    LabeledEdit1->setReadOnly(true);
    LabeledEdit1->setGeometry(14, 32, 302, 24);

    RadioGroup1 = new QGroupBox(QStringLiteral("计划类别:"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(14, 64, 302, 50);
    playKind = new QRadioButton(TaskPlans::kinds()[0], RadioGroup1);
    playKind->setGeometry(12, 22, 130, 22);
    recordKind = new QRadioButton(TaskPlans::kinds()[1], RadioGroup1);
    recordKind->setGeometry(160, 22, 130, 22);
    kinds_ = new QButtonGroup(this);
    kinds_->addButton(playKind, 0);
    kinds_->addButton(recordKind, 1);
    playKind->setChecked(true);

    auto* period = new QGroupBox(QStringLiteral("时间周期:"), this);
    period->setObjectName(QStringLiteral("GroupBox1"));
    period->setGeometry(14, 120, 302, 54);
    RadioButton5 = new QRadioButton(QStringLiteral("每天"), period);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    RadioButton5->setGeometry(12, 22, 70, 22);
    RadioButton5->setChecked(true);
    RadioButton4 = new QRadioButton(period);
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    RadioButton4->setGeometry(130, 22, 20, 22);
    ComboBox1 = choiceBox(TaskTexts::weekdayNames(), period, "ComboBox1");
    ComboBox1->setGeometry(152, 20, 130, 24);

    auto* times = new QGroupBox(QStringLiteral("时间段设定:"), this);
    times->setObjectName(QStringLiteral("GroupBox2"));
    times->setGeometry(14, 180, 302, 84);
    auto* startLabel = new QLabel(QStringLiteral("开始时间:"), times);
    startLabel->setGeometry(12, 22, 80, 24);
    DateTimePicker1 = timePicker(initial.start, times, "DateTimePicker1");
    DateTimePicker1->setGeometry(100, 22, 120, 24);
    auto* endLabel = new QLabel(QStringLiteral("终止时间:"), times);
    endLabel->setGeometry(12, 52, 80, 24);
    DateTimePicker2 = timePicker(initial.end, times, "DateTimePicker2");
    DateTimePicker2->setGeometry(100, 52, 120, 24);

    CheckBox1 = new QCheckBox(QStringLiteral("录音完成后自动"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(26, 272, 140, 24);
    CheckBox1->hide();
    ComboBox2 = choiceBox(TaskPlans::finishActions(), this, "ComboBox2");
    ComboBox2->setGeometry(170, 272, 100, 24);
    ComboBox2->hide();

    BitBtn1 = new QPushButton(
        mode == Mode::modify ? QStringLiteral("修改") : QStringLiteral("增加"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(126, 302, 90, 28);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(226, 302, 90, 28);

    if (!wakeNote.isEmpty()) {
        auto* note = new QLabel(wakeNote, this);
        note->setObjectName(QStringLiteral("wakeNote"));
        note->setGeometry(14, 338, 302, 20);
        setFixedSize(330, 364);
    }

    connect(kinds_, &QButtonGroup::idClicked, this, &TForm5::RadioGroup1Click);
    connect(RadioButton5, &QRadioButton::clicked, this, &TForm5::RadioButton5Click);
    connect(RadioButton4, &QRadioButton::clicked, this, &TForm5::RadioButton4Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm5::CheckBox1Click);
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { reportFailures(dialogs_, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &TForm5::BitBtn2Click);
    FormShow();
}

void TForm5::FormShow() {
    row_ = plans_.currentRow();
    LabeledEdit1->setText(plans_.currentName());
    loadplan();
}

void TForm5::selectKind(const QString& caption) {
    // A kind this editor does not offer leaves none chosen.
    kinds_->setExclusive(false);
    playKind->setChecked(caption == playKind->text());
    recordKind->setChecked(caption == recordKind->text());
    kinds_->setExclusive(true);
    RadioGroup1Click();
}

void TForm5::loadplan() {
    if (mode_ != Mode::modify)
        return;
    const TaskPlans::Plan plan = plans_.loadplan(today_);
    LabeledEdit1->setText(plan.name);
    selectKind(plan.kind);
    DateTimePicker1->setDateTime(plan.start);
    DateTimePicker2->setDateTime(plan.end);
    if (!plan.period.isEmpty()) {
        RadioButton4->setChecked(true);
        RadioButton4Click();
        ComboBox1->setEditText(plan.period);
    }
    if (!plan.finishAction.isEmpty()) {
        CheckBox1->setChecked(true);
        CheckBox1Click();
        ComboBox2->setEditText(plan.finishAction);
    }
}

TaskPlans::Plan TForm5::plan() const {
    const QAbstractButton* kind = kinds_->checkedButton();
    return {LabeledEdit1->text(),        kind ? kind->text() : QString(), ComboBox1->currentText(),
            DateTimePicker1->dateTime(), DateTimePicker2->dateTime(),     ComboBox2->currentText()};
}

void TForm5::RadioGroup1Click() {
    // The finish choice belongs to recordings; what it holds stays either way.
    const bool records = recordKind->isChecked();
    CheckBox1->setVisible(records);
    ComboBox2->setVisible(records);
}

void TForm5::RadioButton5Click() {
    ComboBox1->setEnabled(false);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->clearEditText();
}

void TForm5::RadioButton4Click() {
    ComboBox1->setEnabled(true);
    ComboBox1->setCurrentIndex(0);
}

void TForm5::CheckBox1Click() {
    if (CheckBox1->isChecked()) {
        ComboBox2->setEnabled(true);
        ComboBox2->setCurrentIndex(0);
    } else {
        ComboBox2->setEnabled(false);
        ComboBox2->setCurrentIndex(-1);
        ComboBox2->clearEditText();
    }
}

void TForm5::BitBtn1Click() {
    plans_.save(plan(), row_);
    accept();
}

void TForm5::BitBtn2Click() {
    reject();
}
