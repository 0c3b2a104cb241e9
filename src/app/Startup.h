// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class Dialogs;

// The program's start: removes an update's leftover, takes the single-instance lock, makes the
// program folder current, requires "rd.cds", then creates the windows and runs the event loop.
// A second start hands its address over to the first and ends; without an address it raises the
// first one's window and says that it runs.
class Startup {
  public:
    struct Settings {
        QString programFolder;
        QString lockFolder = {};  // empty: the default runtime folder
        QString downloadPage;
        // The address given on the command line, if any.
        QString address;
        // When another instance runs: gives it the address to play, or asks it to show its
        // window when there is none. True when it answered.
        std::function<bool(const QString&)> handOver = [](const QString&) { return false; };
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
