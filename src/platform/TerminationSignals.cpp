// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

int gPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction gPrevious[std::size(kSignals)];

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);  // async-signal-safe
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (gPipe[0] >= 0)
        throw std::logic_error("termination signals are already watched");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe) != 0)
        throw std::runtime_error("no socket pair for the termination signals");
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(gPipe[0], bytes, sizeof bytes) > 0) {
        }
        emit received();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], nullptr, &gPrevious[i]);
        // A signal ignored at start (nohup, a background job) stays ignored.
        if (gPrevious[i].sa_handler != SIG_IGN)
            ::sigaction(kSignals[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    delete notifier_;
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}
