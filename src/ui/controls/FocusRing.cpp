// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/FocusRing.h"

#include <QPainter>
#include <QWidget>

namespace varnoth {

void DrawFocusRing(QPainter& painter, const QWidget& widget) {
    DrawFocusRing(painter, widget.rect(), widget.palette());
}

void DrawFocusRing(QPainter& painter, const QRect& edge, const QPalette& palette) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const QRectF outline(edge);
    painter.setPen(QPen(palette.color(QPalette::Highlight), 2));
    painter.drawRect(outline.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
    painter.drawRect(outline.adjusted(2.5, 2.5, -2.5, -2.5));
    painter.restore();
}

}  // namespace varnoth
