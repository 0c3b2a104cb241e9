#pragma once

#include <QString>

// Addresses of the maker's web and update server. The base address is a setting with a default,
// overridden by $CORVINATONE_SERVER (tests point it at loopback).
class ServerAddresses {
  public:
    static QString base();
    static QString downloadPage();  // the page that offers the latest version and catalogue
    // The maker's mail address, for stations users send in; $CORVINATONE_MAIL overrides it.
    static QString makerMail();
};
