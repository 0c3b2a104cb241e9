// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes of every service the main window is made with, for tests and benchmarks of the window.
#include "app/TForm1.h"
#include "support/FakeCaptureDevice.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakePower.h"
#include "support/FakeServices.h"
#include "support/FakeSystemClock.h"
#include "support/FakeTimeSource.h"

#include <QDir>

struct FakeWindowServices {
    // The services of a window whose program folder is folder; its end of run is counted.
    TForm1Services windowServices(const QString& folder) {
        return {.core = {.dialogs = dialogs,
                         .player = player,
                         .processes = killer,
                         .desktop = desktop,
                         .capture = capture,
                         .power = power,
                         .time = clock,
                         .clock = systemClock,
                         .remote = *remote,
                         .programFile = QDir(folder).filePath(QStringLiteral("corvinatone"))},
                .hotKey = hotKey,
                .notifications = notifications,
                .endRun = [this] { ++runEnded; }};
    }

    FakeDialogs dialogs;
    FakeMediaPlayer player;
    NoKiller killer;
    FakeDesktop desktop;
    FakeHotKey hotKey;
    FakeCaptureDevice capture;
    FakePower power;
    FakeTimeSource clock;
    FakeSystemClock systemClock;
    FakeMediaRemote fakeRemote;
    MediaRemote* remote = &fakeRemote;  // a test may put the real one on a private bus here
    FakeNotifications notifications;
    int runEnded = 0;
};
