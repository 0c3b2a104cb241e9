// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SessionBus.h"

#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// The two variables as they were, back after each case.
class SessionBusFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override {
        restore("DBUS_SESSION_BUS_ADDRESS", address);
        restore("XDG_RUNTIME_DIR", runtimeDir);
    }
    static void restore(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    static QString settled() {
        settleSessionBus();
        return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    }

    QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
};

}  // namespace

TEST_F(SessionBusFixture, WithoutABusNothingCanStartOne) {
    // Nothing announced and no socket: an address that leads nowhere, never D-Bus's autolaunch.
    EXPECT_EQ(settled(), QStringLiteral("unix:path=/nonexistent/no-session-bus"));

    // A link in the socket's place is not the user's bus.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), runtime.filePath(QStringLiteral("bus"))));
    EXPECT_EQ(settled(), QStringLiteral("unix:path=/nonexistent/no-session-bus"));
}

TEST_F(SessionBusFixture, TheUsersOwnBusIsFoundAndAnAnnouncedOneKept) {
    QLocalServer socket;
    ASSERT_TRUE(socket.listen(runtime.filePath(QStringLiteral("bus"))));
    EXPECT_EQ(settled(), QStringLiteral("unix:path=") + runtime.filePath(QStringLiteral("bus")));

    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus");
    EXPECT_EQ(settled(), QStringLiteral("unix:path=/run/user/1000/bus"));
}
