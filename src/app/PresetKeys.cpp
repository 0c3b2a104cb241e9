// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PresetKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

PresetKeys::PresetKeys(QWidget* window, QWidget* searchBox, std::function<void(QChar)> keyPress)
    : QObject(window), window_(window), searchBox_(searchBox), keyPress_(std::move(keyPress)) {
    qApp->installEventFilter(this);
}

PresetKeys::~PresetKeys() {
    qApp->removeEventFilter(this);
}

bool PresetKeys::eventFilter(QObject* watched, QEvent* event) {
    // The first delivery of a key press to a control of the window: the focused control, or the
    // window itself when nothing has the focus. Off while the search box has the focus.
    if (event->type() == QEvent::KeyPress && window_->isActiveWindow()) {
        QWidget* focus = QApplication::focusWidget();
        const bool first = focus ? watched == focus : watched == window_;
        const bool inSearchBox = focus && (focus == searchBox_ || searchBox_->isAncestorOf(focus));
        if (first && !inSearchBox && (!focus || focus->window() == window_)) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text.size() == 1)
                keyPress_(text[0]);
        }
    }
    return false;  // never consumed: the control gets the key as well
}
