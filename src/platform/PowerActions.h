// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusUnixFileDescriptor>
#include <QString>

// Shutting down, standby and hibernation, and keeping the computer awake meanwhile. A failure
// is ignored by the callers.
class PowerActions {
  public:
    virtual ~PowerActions() = default;
    virtual bool powerOff() = 0;
    virtual bool suspend() = 0;
    virtual bool hibernate() = 0;
    // What the computer is kept from until allowSleep(): the desktop's suspend when idle, or
    // sleep of any kind (closing the lid, the power button, a program asking). Asking again for
    // what is held changes nothing. Released before any of the actions above, which it blocks.
    enum class Keep { fromIdle, fromSleep };
    virtual void keepAwake(Keep keep, const QString& why) = 0;
    virtual void allowSleep() = 0;
};

// Through systemd-logind on the system bus (org.freedesktop.login1), non-interactive; awake
// through an "idle" or "sleep:idle" inhibitor in block mode, held as long as its file
// descriptor is open.
class LogindPowerActions : public PowerActions {
  public:
    bool powerOff() override { return call("PowerOff"); }
    bool suspend() override { return call("Suspend"); }
    bool hibernate() override { return call("Hibernate"); }
    void keepAwake(Keep keep, const QString& why) override;
    void allowSleep() override { inhibitor_ = {}; }
    // The last error, for diagnostics.
    const QString& lastError() const { return lastError_; }

  private:
    bool call(const char* method);
    QString lastError_;
    QDBusUnixFileDescriptor inhibitor_;
    Keep held_ = Keep::fromIdle;  // what inhibitor_ holds, while it is valid
};
