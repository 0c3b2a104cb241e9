// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QFileInfo>

// The user's session bus when the session has one, else a connection that is not connected.
// Never lets D-Bus start a bus of its own (autolaunch), which would outlive the program.
inline QDBusConnection userSessionBus() {
    const bool announced = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
                           QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") +
                                             QStringLiteral("/bus"));
    return announced ? QDBusConnection::sessionBus()
                     : QDBusConnection(QStringLiteral("corvinatone-no-session-bus"));
}
