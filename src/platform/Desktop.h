// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

// Hands addresses to the user's own programs: folders, web pages, "mailto:" messages.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // False when no program took it.
    virtual bool openUrl(const QUrl& url) = 0;
    // True when the desktop has a system tray to hold the program's icon (stock GNOME has none).
    virtual bool hasSystemTray() const = 0;
};
