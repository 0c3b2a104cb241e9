// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>

// A button of the quick-station bar: the broadcaster's name in bold on a rounded badge, lighter
// under the mouse. Painted here rather than through a style sheet, which would bring Qt's style
// sheet machinery into the whole window for nine buttons.
class QuickButton : public QToolButton {
  public:
    explicit QuickButton(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
