// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes of every service the main window is made with, for tests and benchmarks of the window.
#include "app/TForm1.h"
#include "support/FakeCoreServices.h"

struct FakeWindowServices : FakeCoreServices {
    // The services of a window whose program folder is folder; its end of run is counted.
    TForm1Services windowServices(const QString& folder, Desktop* otherDesktop = nullptr) {
        return {.core = coreServices(folder, otherDesktop),
                .hotKey = hotKey,
                .notifications = notifications,
                .endRun = [this] { ++runEnded; }};
    }

    FakeHotKey hotKey;
    FakeNotifications notifications;
    int runEnded = 0;
};
