// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/TForm4.h"

#include "setting/Banner.h"
#include "update/ProgramUpdate.h"
#include "update/UpdateTexts.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

TForm4::TForm4(ProgramUpdate& update, UpdateDescriptor descriptor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      update_(update),
      descriptor_(std::move(descriptor)) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("更新 Corvinatone"));
    setFixedSize(402, 301);
    setModal(true);

    new Banner(this, 402);

    auto* hint = new QGroupBox(QStringLiteral("提示"), this);
    hint->setGeometry(10, 56, 382, 46);
    offer = new QLabel(hint);
    offer->setGeometry(10, 20, 362, 20);
    auto* changesLabel = new QLabel(QStringLiteral("更新内容:"), this);
    changesLabel->setGeometry(10, 106, 120, 18);
    changes = new QTextEdit(this);
    changes->setReadOnly(true);
    changes->setGeometry(10, 126, 382, 110);
    auto* progressLabel = new QLabel(QStringLiteral("下载进度:"), this);
    progressLabel->setGeometry(10, 242, 70, 16);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(80, 246, 312, 8);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    Label4 = new QLabel(QStringLiteral("点击下载完整版"), this);
    Label4->setGeometry(10, 270, 120, 20);
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->setStyleSheet(QStringLiteral("color: blue;"));
    Label4->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("更新"), this);
    Button1->setGeometry(222, 266, 80, 26);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("关闭"), this);
    Button2->setGeometry(312, 266, 80, 26);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    FormShow();
}

void TForm4::FormShow() {
    const std::optional<QString> name = descriptor_.value(1);
    offer->setText(name ? UpdateTexts::offer(*name) : QString());
    changes->setPlainText(name ? descriptor_.value(2).value_or(QString()) : QString());
}

void TForm4::Button1Click() {
    // The window stays until the download has ended: it shows how far it is.
    downloading_ = true;
    Button1->setEnabled(false);
    Button2->setEnabled(false);
    ProgressBar1->setRange(0, 0);  // busy until the total is known
    const QPointer<TForm4> self(this);
    update_.Button1Click(
        descriptor_,
        [self](qint64 received, qint64 total) {
            if (!self)
                return;
            if (total > 0 && self->ProgressBar1->maximum() != int(total))
                self->ProgressBar1->setRange(0, int(total));  // at most 256 MiB
            self->ProgressBar1->setValue(int(received));
        },
        [self](bool replaced) {
            if (!self)
                return;
            self->downloading_ = false;
            self->Button2->setEnabled(true);
            if (replaced) {
                self->accept();
            } else {
                self->Button1->setEnabled(true);
                self->ProgressBar1->setRange(0, 100);
                self->ProgressBar1->setValue(0);
            }
        });
}

void TForm4::Button2Click() {
    reject();
}

void TForm4::reject() {
    if (!downloading_)
        QDialog::reject();
}

void TForm4::closeEvent(QCloseEvent* event) {
    if (downloading_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TForm4::Label4Click() {
    update_.Label4Click();
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label4) {
        if (event->type() == QEvent::Enter)
            Label4->setStyleSheet(QStringLiteral("color: red;"));
        else if (event->type() == QEvent::Leave)
            Label4->setStyleSheet(QStringLiteral("color: blue;"));
        else if (event->type() == QEvent::MouseButtonRelease)
            Label4Click();
    }
    return QDialog::eventFilter(watched, event);
}
