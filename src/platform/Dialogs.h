// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppInfo.h"

#include <QString>

#include <exception>

// Modal messages to the user. The real one shows message boxes kept above all other windows;
// tests use a fake that records what was shown and answers scripted questions.
class Dialogs {
  public:
    enum class Icon { none, information, warning, error };

    virtual ~Dialogs() = default;
    // A message with one OK button.
    virtual void message(const QString& title, const QString& text, Icon icon) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const QString& title, const QString& text) = 0;
};

// Runs an event handler; a failure ends the handler and is shown as the event loop's general
// error report (the failure's text under the program's title), and the program goes on.
template <typename Handler>
void reportFailures(Dialogs& dialogs, Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        dialogs.message(AppInfo::title(), QString::fromUtf8(e.what()), Dialogs::Icon::error);
    }
}
