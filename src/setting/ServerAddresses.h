// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Addresses of the maker's web and update server. The base address is a setting with a default,
// overridden by $CORVINATONE_SERVER (tests point it at loopback).
class ServerAddresses {
  public:
    static QString base();
    static QString homePage();
    static QString downloadPage();  // the page that offers the latest version and catalogue
    static QString contactPage();   // how to reach and sponsor the maker ("赞助作者...")
    // The maker's mail address, for stations users send in; $CORVINATONE_MAIL overrides it.
    static QString makerMail();
};
