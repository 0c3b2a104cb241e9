// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

// Through QDesktopServices (xdg-open on Linux).
class QtDesktop : public Desktop {
  public:
    bool openUrl(const QUrl& url) override;
    bool hasSystemTray() const override;
};
