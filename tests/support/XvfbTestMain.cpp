// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the tests against a private Xvfb display on the xcb platform, as a desktop would.
#include "support/PrivateHome.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return 1;
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        // Ends with the tests, however they end: else it would hold their output open.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    // Xvfb writes the number once it is ready, then a line feed in a write of its own: the pipe
    // stays open until the line is whole, or Xvfb's second write fails and it ends.
    std::string number;
    char c = 0;
    while (number.size() < 16 && read(pipeFds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeFds[0]);
    if (number.empty() || c != '\n') {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    const std::string display = ":" + number;
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    PrivateHome home;

    int status;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return status;
}
