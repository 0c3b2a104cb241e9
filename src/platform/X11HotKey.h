// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HotKey.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

// The hot key on X11: the key is grabbed on the root window (also with Caps Lock and Num Lock
// on, so the lock keys do not matter) and its presses are picked out of Qt's xcb events.
class X11HotKey : public HotKey, public QAbstractNativeEventFilter {
    Q_OBJECT

  public:
    // Needs the xcb platform (QGuiApplication::platformName() == "xcb").
    explicit X11HotKey(QObject* parent = nullptr);
    ~X11HotKey() override;

    bool registerKey(int virtualKeyCode) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    QHash<quint8, int> grabbed_;  // X keycode to virtual-key code
};
