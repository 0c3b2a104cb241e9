// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowHotKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

WindowHotKey::WindowHotKey(QObject* parent) : HotKey(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool WindowHotKey::registerKey(int virtualKeyCode) {
    if (virtualKeyCode < kF2 || virtualKeyCode > kF12 || keys_.contains(virtualKeyCode))
        return false;
    keys_.append(virtualKeyCode);
    return true;
}

bool WindowHotKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == QGuiApplication::focusObject()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = kF2 + (key->key() - Qt::Key_F2);
        if (key->key() >= Qt::Key_F2 && key->key() <= Qt::Key_F12 && keys_.contains(code)) {
            emit pressed(code, (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier);
            return true;
        }
    }
    return false;
}
