// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Shutting down, standby and hibernation. A failure is ignored by the callers.
class PowerActions {
  public:
    virtual ~PowerActions() = default;
    virtual bool powerOff() = 0;
    virtual bool suspend() = 0;
    virtual bool hibernate() = 0;
};

// Through systemd-logind on the system bus (org.freedesktop.login1), non-interactive.
class LogindPowerActions : public PowerActions {
  public:
    bool powerOff() override { return call("PowerOff"); }
    bool suspend() override { return call("Suspend"); }
    bool hibernate() override { return call("Hibernate"); }
    // The last error, for diagnostics.
    const QString& lastError() const { return lastError_; }

  private:
    bool call(const char* method);
    QString lastError_;
};
