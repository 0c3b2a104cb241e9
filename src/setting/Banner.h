// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSvgRenderer>
#include <QWidget>

// The program's banner across the top of its windows: the main window shows it whole (819 × 51),
// narrower windows its left part. Drawn from the picture at each paint, so no image of it is
// kept in memory.
class Banner : public QWidget {
  public:
    static constexpr int kWidth = 819;
    static constexpr int kHeight = 51;

    // Placed at the top left of parent, as wide as given.
    Banner(QWidget* parent, int width);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSvgRenderer picture_;
};
