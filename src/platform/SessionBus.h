// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>

#include <sys/stat.h>
#include <cstdlib>

// To be called before the application object exists. Qt talks to the session bus on its own (the
// tray, accessibility), and where a session announces no bus, D-Bus would start one of its own
// ("autolaunch") that outlives the program. So the bus is named here: the one the session
// announces, else the user's bus socket in $XDG_RUNTIME_DIR, else an address that leads nowhere,
// and then there simply are no bus services.
inline void settleSessionBus() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QByteArray socket = QFile::encodeName(qEnvironmentVariable("XDG_RUNTIME_DIR")) + "/bus";
    struct stat st;
    const bool userBus = !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") &&
                         ::lstat(socket.constData(), &st) == 0 && S_ISSOCK(st.st_mode);
    ::setenv(
        "DBUS_SESSION_BUS_ADDRESS",
        userBus ? ("unix:path=" + socket).constData() : "unix:path=/nonexistent/no-session-bus", 1);
}
