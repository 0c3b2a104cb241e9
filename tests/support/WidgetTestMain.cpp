// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PrivateHome.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

// Real windows, drawn offscreen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrivateHome home;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
