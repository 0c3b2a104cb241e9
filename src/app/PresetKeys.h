// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Typed characters reach the main window before the control that has the focus: digits 1 to 8
// play the preset stations wherever the focus is in the window, except in the search box.
class PresetKeys : public QObject {
    Q_OBJECT

  public:
    // window: the main window; searchBox: where typing must stay plain text.
    PresetKeys(QWidget* window, QWidget* searchBox, std::function<void(QChar)> keyPress);
    ~PresetKeys() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QWidget* searchBox_;
    std::function<void(QChar)> keyPress_;
};
