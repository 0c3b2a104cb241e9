#include "app/Gauge21.h"

#include <QPainter>

#include <algorithm>

Gauge21::Gauge21(QWidget* parent) : QWidget(parent) {
    setFixedSize(100, 5);
    setCursor(Qt::PointingHandCursor);
}

void Gauge21::setValue(int value) {
    value_ = std::clamp(value, 0, 100);
    update();
}

void Gauge21::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd0, 0xd4, 0xd9));
    painter.fillRect(QRect(0, 0, width() * value_ / 100, height()), QColor(0x2f, 0x6f, 0xb3));
}
