// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Gauge21.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

Gauge21::Gauge21(QWidget* parent) : QWidget(parent) {
    setFixedSize(100, 5);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

void Gauge21::mousePressEvent(QMouseEvent* event) {
    emit pressed(int(event->position().x()));
}

void Gauge21::mouseMoveEvent(QMouseEvent*) {
    emit hovered();
}

void Gauge21::setValue(int value) {
    value_ = std::clamp(value, 0, 100);
    update();
}

void Gauge21::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xc0, 0xc0, 0xc0));  // silver
    painter.fillRect(QRect(0, 0, width() * value_ / 100, height()),
                     palette().color(QPalette::Highlight));
}
