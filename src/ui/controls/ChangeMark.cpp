// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ChangeMark.h"

#include <QEvent>
#include <QPainter>

namespace varnoth {

namespace {

// Room for the rim around the dot.
constexpr int kRim = 1;

}  // namespace

ChangeMark::ChangeMark(QWidget& marked, QColor colour) : QWidget(&marked), m_colour(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(kDiameter + 2 * kRim, kDiameter + 2 * kRim);
    marked.installEventFilter(this);
    Place();
    hide();
}

bool ChangeMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        Place();
    }
    return QWidget::eventFilter(watched, event);
}

void ChangeMark::Place() {
    move(parentWidget()->width() - width(), 0);
    raise();
}

void ChangeMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255), kRim));
    painter.setBrush(m_colour);
    const qreal half = kRim / 2.0;
    painter.drawEllipse(QRectF(half, half, width() - kRim, height() - kRim));
}

}  // namespace varnoth
