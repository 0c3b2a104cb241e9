// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The program's command line: --help, --version, and a stream address or playlist file to play
// at once. Read before any window exists, so that --version works without a display.
struct CommandLine {
    enum class Outcome { run, done, usageError };

    Outcome outcome = Outcome::run;
    QString address;  // empty: none given
    QString output;   // what to print: the help or the version to stdout, an error to stderr

    static CommandLine parse(const QStringList& arguments);
    // The exit status for done (0) and usageError (2).
    int exitCode() const { return outcome == Outcome::usageError ? 2 : 0; }
};
