// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Autostart.h"

// The log-on entry as a field: present, and the program it starts.
class FakeAutostart : public Autostart {
  public:
    bool exists() const override { return present; }
    bool add(const QString& executablePath) override {
        present = true;
        program = executablePath;
        return true;
    }
    bool remove() override {
        present = false;
        return true;
    }
    bool present = false;
    QString program;
};
