// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes of every service the core is made with, for tests of the core and of the windows.
#include "core/RadioCore.h"
#include "support/FakeCaptureDevice.h"
#include "support/FakeDialogs.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakePower.h"
#include "support/FakeServices.h"
#include "support/FakeSystemClock.h"
#include "support/FakeTimeSource.h"

#include <QDir>

struct FakeCoreServices {
    // The services of a core whose program folder is folder; desktop replaces the fake one.
    RadioCore::Services coreServices(const QString& folder, Desktop* otherDesktop = nullptr) {
        return {.dialogs = dialogs,
                .player = player,
                .processes = killer,
                .desktop = otherDesktop ? *otherDesktop : desktop,
                .capture = capture,
                .power = power,
                .time = clock,
                .clock = systemClock,
                .remote = *remote,
                .sound = sound,
                .waker = waker,
                .programFile = QDir(folder).filePath(QStringLiteral("corvinatone"))};
    }

    FakeDialogs dialogs;
    FakeMediaPlayer player;
    NoKiller killer;
    FakeDesktop desktop;
    FakeCaptureDevice capture;
    FakePower power;
    FakeTimeSource clock;
    FakeSystemClock systemClock;
    FakeSoundServer sound;
    FakeWaker waker;
    FakeMediaRemote fakeRemote;
    MediaRemote* remote = &fakeRemote;  // a test may put the real one on a private bus here
};
