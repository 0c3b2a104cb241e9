// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Waker.h"

#include <sys/timerfd.h>
#include <unistd.h>

AlarmWaker::AlarmWaker() : fd_(timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC | TFD_NONBLOCK)) {}

AlarmWaker::~AlarmWaker() {
    if (fd_ >= 0)
        close(fd_);
}

bool AlarmWaker::wakeAt(const QDateTime& at) {
    if (fd_ < 0)
        return false;
    itimerspec spec{};
    spec.it_value.tv_sec = time_t(at.toSecsSinceEpoch());
    return timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr) == 0;
}

void AlarmWaker::cancel() {
    if (fd_ < 0)
        return;
    const itimerspec off{};
    timerfd_settime(fd_, 0, &off, nullptr);
}
