// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/ServerAddresses.h"

namespace {
// https: the program and its catalogue come from here, and must come from nobody else.
const char kDefaultBase[] = "https://www.corvinatone.com";
const char kDefaultMail[] = "stations@corvinatone.com";
}  // namespace

QString ServerAddresses::base() {
    QString base = qEnvironmentVariable("CORVINATONE_SERVER", QLatin1String(kDefaultBase));
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QString ServerAddresses::homePage() {
    return base() + u'/';
}

QString ServerAddresses::downloadPage() {
    return base() + QStringLiteral("/download.html");
}

QString ServerAddresses::contactPage() {
    return base() + QStringLiteral("/contact.html");
}

QString ServerAddresses::makerMail() {
    return qEnvironmentVariable("CORVINATONE_MAIL", QLatin1String(kDefaultMail));
}
