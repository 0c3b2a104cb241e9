// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The volume bar: a thin bar filled to the volume, 0 to 100.
class Gauge21 : public QWidget {
    Q_OBJECT

  public:
    explicit Gauge21(QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);

  signals:
    void pressed(int x);  // any mouse button, x from the bar's left edge
    void hovered();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    int value_ = 100;
};
