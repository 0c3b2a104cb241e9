// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/Banner.h"

#include <QPainter>

Banner::Banner(QWidget* parent, int width)
    : QWidget(parent), picture_(QStringLiteral(":/icons/banner.svg")) {
    setObjectName(QStringLiteral("Image1"));
    setGeometry(0, 0, width, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    picture_.render(&painter, QRectF(0, 0, kWidth, kHeight));
}
