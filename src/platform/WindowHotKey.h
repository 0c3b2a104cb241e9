// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HotKey.h"

#include <QList>

// Where there is no X11 (Wayland): the key works while a window of the program has the focus.
class WindowHotKey : public HotKey {
    Q_OBJECT

  public:
    explicit WindowHotKey(QObject* parent = nullptr);
    bool registerKey(int virtualKeyCode) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QList<int> keys_;
};
