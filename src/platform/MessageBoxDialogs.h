// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dialogs.h"

// Message boxes kept above all other windows.
class MessageBoxDialogs : public Dialogs {
  public:
    void message(const QString& title, const QString& text, Icon icon) override;
    bool confirm(const QString& title, const QString& text) override;
};
