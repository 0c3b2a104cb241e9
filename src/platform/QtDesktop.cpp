// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtDesktop.h"

#include <QDesktopServices>
#include <QSystemTrayIcon>

bool QtDesktop::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool QtDesktop::hasSystemTray() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
