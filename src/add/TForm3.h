// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "add/StationEditor.h"

#include <QDialog>

class Dialogs;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The station editor window: frameless, 404 × 241, shown modally above the main window.
class TForm3 : public QDialog {
    Q_OBJECT

  public:
    // A failure of a button (a save that cannot be written, a delete without a row) is reported
    // through dialogs and the window stays open.
    TForm3(StationEditor& editor, Dialogs& dialogs, QWidget* parent = nullptr);

    // FormShow: fills the boxes for the editor's mode.
    void FormShow();
    void BitBtn1Click();  // 添加 / 修改
    void Button1Click();  // 删除
    void BitBtn2Click();  // 关闭

    QCheckBox* sendToAuthor;
    QLineEdit* nameBox;
    QComboBox* countryBox;
    QLineEdit* addressBox;
    QPushButton* Button1;  // 删除
    QPushButton* BitBtn1;  // 添加 / 修改
    QPushButton* BitBtn2;  // 关闭

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    StationEditor& editor_;
    Dialogs& dialogs_;
};
