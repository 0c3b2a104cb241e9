// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Autostart.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(XdgAutostart, QuotesTheProgramPathAsDesktopEntriesRequire) {
    EXPECT_EQ(XdgAutostart::execValue(QStringLiteral("/usr/bin/corvinatone")),
              QStringLiteral("/usr/bin/corvinatone"));
    EXPECT_EQ(XdgAutostart::execValue(QStringLiteral("/opt/My Apps/corvinatone")),
              QStringLiteral("\"/opt/My Apps/corvinatone\""));
    // Inside the quotes " ` $ \ take a backslash; the string's own escaping then doubles every
    // backslash; a % is doubled so it starts no field code.
    EXPECT_EQ(XdgAutostart::execValue(QStringLiteral("/a b/$x\"y\\z`%")),
              QStringLiteral("\"/a b/\\\\$x\\\\\"y\\\\\\\\z\\\\`%%\""));
    EXPECT_EQ(XdgAutostart::execValue(QStringLiteral("/tab\there/50%")),
              QStringLiteral("\"/tab\\there/50%%\""));
    EXPECT_EQ(XdgAutostart::execValue(QStringLiteral("/opt/程序/radio(1)")),
              QStringLiteral("\"/opt/程序/radio(1)\""));
}

TEST(XdgAutostart, MakesTheFolderWritesTheEntryAndRemovesIt) {
    QTemporaryDir dir;
    XdgAutostart autostart(dir.filePath(QStringLiteral("config/autostart")));
    EXPECT_FALSE(autostart.exists());
    ASSERT_TRUE(autostart.add(QStringLiteral("/home/u/my radio/corvinatone")));
    EXPECT_TRUE(autostart.exists());
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("config/autostart/Corvinatone.desktop"))),
              "[Desktop Entry]\nType=Application\nName=Corvinatone\n"
              "Exec=\"/home/u/my radio/corvinatone\"\n");
    EXPECT_TRUE(autostart.remove());
    EXPECT_FALSE(autostart.exists());
}
