// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// A key that works anywhere on the desktop: F2 (virtual-key code 113) to F12 (123), without
// modifier keys. Keys registered earlier stay registered until the program ends.
class HotKey : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    static constexpr int kF2 = 113;
    static constexpr int kF12 = 123;

    // False (and nothing registered) for code 0, a code outside F2 to F12, a key already
    // registered here, or a key another program holds.
    virtual bool registerKey(int virtualKeyCode) = 0;

  signals:
    // A registered key was pressed; withModifiers when Shift, Ctrl, Alt or Super was held.
    void pressed(int virtualKeyCode, bool withModifiers);
};
