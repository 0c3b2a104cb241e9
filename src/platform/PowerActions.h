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
    // Neither sleep nor the desktop's idle suspend until allowSleep(); asking again while held
    // changes nothing. Released before any of the actions above, which it would block.
    virtual void keepAwake(const QString& why) = 0;
    virtual void allowSleep() = 0;
};

// Through systemd-logind on the system bus (org.freedesktop.login1), non-interactive; awake
// through a "sleep:idle" inhibitor in block mode, held as long as its file descriptor is open.
class LogindPowerActions : public PowerActions {
  public:
    bool powerOff() override { return call("PowerOff"); }
    bool suspend() override { return call("Suspend"); }
    bool hibernate() override { return call("Hibernate"); }
    void keepAwake(const QString& why) override;
    void allowSleep() override { inhibitor_ = {}; }
    // The last error, for diagnostics.
    const QString& lastError() const { return lastError_; }

  private:
    bool call(const char* method);
    QString lastError_;
    QDBusUnixFileDescriptor inhibitor_;
};
