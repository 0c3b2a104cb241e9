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
    char number[16] = {};
    const ssize_t n = read(pipeFds[0], number, sizeof number - 1);  // written once Xvfb is ready
    close(pipeFds[0]);
    if (n <= 0) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    const std::string display =
        ":" + std::string(number, size_t(n)).substr(0, std::string(number).find('\n'));
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
