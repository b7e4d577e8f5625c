// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/FocusRing.h"

#include <QPainter>
#include <QWidget>

namespace varnoth {

void DrawFocusRing(QPainter& painter, const QWidget& widget) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const QRectF edge(widget.rect());
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), 2));
    painter.drawRect(edge.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(widget.palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
    painter.drawRect(edge.adjusted(2.5, 2.5, -2.5, -2.5));
    painter.restore();
}

}  // namespace varnoth
