// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// Points HOME and the XDG folders at a temporary folder for the whole test run, so that what the
// program finds there (the music folder, its own data folder) is the tests' own, never the
// tester's.
class PrivateHome {
  public:
    PrivateHome() {
        const QByteArray home = QFile::encodeName(dir_.path());
        setenv("HOME", home.constData(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").constData(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").constData(), 1);
        keepOffline();
    }

    // The maker's servers and the time server are a loopback port nobody listens on: nothing a
    // test starts reaches the internet. Tests that serve them point these at their own servers.
    static void keepOffline() {
        setenv("CORVINATONE_SERVER", "http://127.0.0.1:9", 1);
        setenv("CORVINATONE_TIME_SERVER", "127.0.0.1:9", 1);
    }

  private:
    QTemporaryDir dir_;
};
