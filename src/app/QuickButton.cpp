// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuickButton.h"

#include <QPainter>

QuickButton::QuickButton(QWidget* parent) : QToolButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

void QuickButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x9d, 0xb8, 0xd6));
    painter.setBrush(underMouse() ? QColor(0xdc, 0xe8, 0xf5) : QColor(0xee, 0xf4, 0xfb));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.setPen(QColor(0x1d, 0x4f, 0x8a));
    painter.drawText(rect(), Qt::AlignCenter, text());
}
