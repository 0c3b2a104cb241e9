// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a real X server: placement on a small screen, and closing with and without
// a system tray (trayer stands in for the desktop's tray).
#include "app/TForm1.h"
#include "platform/QtDesktop.h"
#include "support/FakeWindowServices.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DesktopWindow : public ::testing::Test, protected FakeWindowServices {
  protected:
    void SetUp() override {
        StationTable table(folder.filePath(QStringLiteral("rd.cds")));
        table.append(
            StationRow::station(QStringLiteral("A"), {}, {}, {}, QStringLiteral("http://a")));
        table.commitAndSave();
        ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("option.ini")),
                              "[info]\nrecord=" + QFile::encodeName(folder.path()) + "\n"));
        window = std::make_unique<TForm1>(folder.path(), windowServices(folder.path(), &qtDesktop));
    }

    QTemporaryDir folder;
    QtDesktop qtDesktop;  // the real one: whether the desktop has a tray
    std::unique_ptr<TForm1> window;
};

}  // namespace

TEST_F(DesktopWindow, OpensWholeOnAScreenSmallerThanItsPlace) {
    // The test's screen is 1024 × 768: at 294,251 the window would reach past both edges.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
        << " outside " << area.width() << "x" << area.height();
}

TEST_F(DesktopWindow, ClosingEndsTheProgramWithoutATrayAndHidesInOne) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "a tray before trayer started";
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->close();
    EXPECT_EQ(runEnded, 1);  // no way back to a hidden window: closing was "退出"

    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        GTEST_SKIP() << "trayer is not installed";
    QProcess trayer;
    trayer.start(QStringLiteral("trayer"),
                 {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                  QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                  QStringLiteral("--width"), QStringLiteral("64"), QStringLiteral("--height"),
                  QStringLiteral("24")});
    ASSERT_TRUE(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->close();
    EXPECT_EQ(runEnded, 1);
    EXPECT_FALSE(window->isVisible());  // in the tray, where a click brings it back
    EXPECT_TRUE(window->trayIcon()->systemTrayIcon()->isVisible());
    trayer.terminate();
    trayer.waitForFinished(5000);
}
