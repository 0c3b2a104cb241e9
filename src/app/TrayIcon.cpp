// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayIcon.h"

#include "platform/Desktop.h"
#include "platform/Notifications.h"

#include <QMenu>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QMenu* menu, const Desktop& desktop, Notifications& notifications,
                   QObject* parent)
    : QObject(parent),
      desktop_(desktop),
      notifications_(notifications),
      radio_(QStringLiteral(":/icons/radio.svg")),
      muted_(QStringLiteral(":/icons/radio-muted.svg")) {
    icon_ = new QSystemTrayIcon(radio_, this);
    icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit clicked();
            });
    connect(icon_, &QSystemTrayIcon::messageClicked, this, &TrayIcon::balloonClicked);
    connect(&notifications_, &Notifications::clicked, this, &TrayIcon::balloonClicked);
}

void TrayIcon::show() {
    icon_->show();
}

void TrayIcon::setMuted(bool muted) {
    if (muted == showsMuted_)
        return;
    showsMuted_ = muted;
    icon_->setIcon(muted ? muted_ : radio_);
}

void TrayIcon::setToolTip(const QString& text) {
    if (text != icon_->toolTip())
        icon_->setToolTip(text);
}

void TrayIcon::showBalloon(const QString& title, const QString& text, bool error) {
    if (!desktop_.hasSystemTray()) {
        notifications_.notify(title, text, error);
        return;
    }
    icon_->showMessage(title, text,
                       error ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information, 2000);
}
