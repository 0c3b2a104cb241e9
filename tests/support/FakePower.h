// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PowerActions.h"

#include <QStringList>

#include <functional>

class FakePower : public PowerActions {
  public:
    bool powerOff() override { return record(QStringLiteral("PowerOff")); }
    bool suspend() override { return record(QStringLiteral("Suspend")); }
    bool hibernate() override { return record(QStringLiteral("Hibernate")); }
    void keepAwake(Keep keep, const QString& why) override {
        awake = true;
        fromSleep = keep == Keep::fromSleep;
        awakeWhy = why;
    }
    void allowSleep() override { awake = fromSleep = false; }
    QStringList calls;
    bool awake = false;      // kept from idle suspend at least
    bool fromSleep = false;  // and from sleep
    QString awakeWhy;
    QList<bool> awakeAtAction;     // whether the computer was held awake at each action
    std::function<void()> onCall;  // runs at each action, to see the state at that moment

  private:
    bool record(const QString& call) {
        calls << call;
        awakeAtAction << awake;
        if (onCall)
            onCall();
        return true;
    }
};
