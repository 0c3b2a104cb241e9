// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "online/UpdateDescriptor.h"

#include <QDialog>

class ProgramUpdate;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

// The update window "更新 Corvinatone": offers the new version, shows what changed, and
// downloads and installs it with a progress bar.
class TForm4 : public QDialog {
    Q_OBJECT

  public:
    TForm4(ProgramUpdate& update, UpdateDescriptor descriptor, QWidget* parent = nullptr);

    void FormShow();
    void Button1Click();  // 更新
    void Button2Click();  // 关闭
    void Label4Click();   // 点击下载完整版

    QLabel* offer;
    QTextEdit* changes;
    QProgressBar* ProgressBar1;
    QLabel* Label4;
    QPushButton* Button1;
    QPushButton* Button2;

    // Not while the download runs (Esc, the title bar's close).
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    ProgramUpdate& update_;
    UpdateDescriptor descriptor_;
    bool downloading_ = false;
};
