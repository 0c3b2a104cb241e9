// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QNetworkInterface>

// Whether some network other than the loopback is up and has an address.
inline bool networkIsUp() {
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) ||
            !flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        if (!i.addressEntries().isEmpty())
            return true;
    }
    return false;
}
