// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBoxDialogs.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::information:
            return QMessageBox::Information;
        case Dialogs::Icon::warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::error:
            return QMessageBox::Critical;
        case Dialogs::Icon::none:
            break;
    }
    return QMessageBox::NoIcon;
}

int showBox(const QString& title, const QString& text, QMessageBox::Icon icon,
            QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec();
}

}  // namespace

void MessageBoxDialogs::message(const QString& title, const QString& text, Icon icon) {
    showBox(title, text, boxIcon(icon), QMessageBox::Ok);
}

bool MessageBoxDialogs::confirm(const QString& title, const QString& text) {
    return showBox(title, text, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}
