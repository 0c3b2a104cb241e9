// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

// Messages for runs without a person at the screen (scripts, process tests): each message is one
// line "title: text" on standard error, and every question is answered with OK.
class ConsoleDialogs : public Dialogs {
  public:
    explicit ConsoleDialogs(FILE* out = stderr) : out_(out) {}
    void message(const QString& title, const QString& text, Icon icon) override;
    bool confirm(const QString& title, const QString& text) override;

  private:
    FILE* out_;
};
