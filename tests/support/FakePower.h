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
    void keepAwake(const QString& why) override {
        awake = true;
        awakeWhy = why;
    }
    void allowSleep() override { awake = false; }
    QStringList calls;
    bool awake = false;
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
