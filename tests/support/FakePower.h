#pragma once

#include "platform/PowerActions.h"

#include <QStringList>

class FakePower : public PowerActions {
  public:
    bool powerOff() override { return calls << QStringLiteral("PowerOff"), true; }
    bool suspend() override { return calls << QStringLiteral("Suspend"), true; }
    bool hibernate() override { return calls << QStringLiteral("Hibernate"), true; }
    QStringList calls;
};
