// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "time/TaskPlans.h"

#include <QDialog>

class Dialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The task editor "计划任务": adds a task to the current station (add mode) or changes the task
// selected in the task list (modify mode). Shown modally; closes after saving.
class TForm5 : public QDialog {
    Q_OBJECT

  public:
    enum class Mode { add, modify };

    // A failure of "增加"/"修改" (rd.cds cannot be written) is reported and the editor stays open.
    // wakeNote: a line under the controls when the computer cannot be woken for a task.
    TForm5(TaskPlans& plans, Dialogs& dialogs, Mode mode, const QDate& today,
           const QString& wakeNote = {}, QWidget* parent = nullptr);

    // FormShow: the current row's name, then loadplan.
    void FormShow();
    // Fills the controls from the current task row; in add mode nothing changes.
    void loadplan();
    // What the controls hold, as saving stores it.
    TaskPlans::Plan plan() const;

    void RadioGroup1Click();
    void RadioButton5Click();  // 每天
    void RadioButton4Click();  // a weekday
    void CheckBox1Click();
    void BitBtn1Click();  // 增加 / 修改
    void BitBtn2Click();  // 取消

    QLineEdit* LabeledEdit1;  // 电台名称
    QGroupBox* RadioGroup1;   // 计划类别
    QRadioButton* playKind;
    QRadioButton* recordKind;
    QRadioButton* RadioButton5;  // 每天
    QRadioButton* RadioButton4;  // before the weekday box
    QComboBox* ComboBox1;        // weekday
    QDateTimeEdit* DateTimePicker1;
    QDateTimeEdit* DateTimePicker2;
    QCheckBox* CheckBox1;  // 录音完成后自动
    QComboBox* ComboBox2;  // finish action
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

  private:
    void selectKind(const QString& caption);

    TaskPlans& plans_;
    Dialogs& dialogs_;
    Mode mode_;
    QDate today_;
    QButtonGroup* kinds_;
    int row_ = -1;  // the station row the editor was opened on
};
