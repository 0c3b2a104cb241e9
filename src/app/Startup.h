// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class Dialogs;

// The program's start: removes an update's leftover, takes the single-instance lock, makes the
// program folder current, requires "rd.cds", then creates the windows and runs the event loop.
class Startup {
  public:
    struct Settings {
        QString programFolder;
        QString lockFolder;  // empty: the default runtime folder
        QString downloadPage;
    };

    Startup(Dialogs& dialogs, Settings settings);

    // createAndRun builds the windows and runs the event loop, returning its exit code; a
    // failure it throws ends the program with a message. Returns the process exit code.
    int run(const std::function<int()>& createAndRun);

    static constexpr int kExitFailure = 1;

  private:
    Dialogs& dialogs_;
    Settings settings_;
};
