// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11HotKey.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

// The lock modifiers that must not stop the key: none, Caps Lock, Num Lock (Mod2), both.
constexpr quint16 kLockCombinations[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                         XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr quint16 kRealModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

}  // namespace

X11HotKey::X11HotKey(QObject* parent) : HotKey(parent) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKey::~X11HotKey() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    // The grabs belong to Qt's connection, which outlives this object: give the keys back.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || grabbed_.isEmpty())
        return;
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (auto it = grabbed_.cbegin(); it != grabbed_.cend(); ++it)
        for (quint16 locks : kLockCombinations)
            xcb_ungrab_key(connection, it.key(), root, locks);
    xcb_flush(connection);
}

bool X11HotKey::registerKey(int virtualKeyCode) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || virtualKeyCode < kF2 || virtualKeyCode > kF12)
        return false;
    Display* display = x11->display();
    xcb_connection_t* connection = x11->connection();
    const KeySym keysym = XK_F2 + KeySym(virtualKeyCode - kF2);
    const auto keycode = quint8(XKeysymToKeycode(display, keysym));
    if (keycode == 0 || grabbed_.contains(keycode))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    // Checked requests: a key another client holds answers BadAccess here, not later.
    bool ok = true;
    for (quint16 locks : kLockCombinations) {
        xcb_generic_error_t* error = xcb_request_check(
            connection, xcb_grab_key_checked(connection, 1, root, locks, keycode,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error) {
            ok = false;
            free(error);
        }
    }
    if (!ok) {
        for (quint16 locks : kLockCombinations)
            xcb_ungrab_key(connection, keycode, root, locks);
        xcb_flush(connection);
        return false;
    }
    grabbed_.insert(keycode, virtualKeyCode);
    return true;
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    const auto it = grabbed_.constFind(press->detail);
    if (it == grabbed_.constEnd())
        return false;
    emit pressed(it.value(), (press->state & kRealModifiers) != 0);
    return true;
}
