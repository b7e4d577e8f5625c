// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/GroupBox.h"

#include <QPainter>

namespace varnoth {

GroupBox::GroupBox(QWidget* parent)
    : QGroupBox(parent),
      m_frame(palette().color(QPalette::Dark)),
      m_captionBackground(palette().color(QPalette::Window)),
      m_text(palette().color(QPalette::WindowText)) {}

void GroupBox::SetBorderColor(const QColor& colour) {
    m_frame = colour;
    Changed();
}

void GroupBox::SetCaptionBackground(const QColor& colour) {
    m_captionBackground = colour;
    Changed();
}

void GroupBox::SetTextColor(const QColor& colour) {
    m_text = colour;
    Changed();
}

void GroupBox::Changed() {
    repaint();
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

QRect GroupBox::CaptionRect() const {
    const QString caption =
        m_caption.isEmpty() && !title().isEmpty() ? QLatin1Char(' ') + title() + QLatin1Char(' ') : m_caption;
    if (caption.isEmpty()) {
        return {};
    }
    const QFontMetrics fm(font());
    return QRect(11, 1, fm.horizontalAdvance(caption), fm.height());
}

void GroupBox::paintEvent(QPaintEvent*) {
    if (m_caption.isEmpty() && !title().isEmpty()) {
        m_caption = QLatin1Char(' ') + title() + QLatin1Char(' ');
    }
    QPainter painter(this);
    painter.setFont(font());
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const QRect caption = CaptionRect();
    const int h = caption.height();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(m_frame, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(
        QRectF(r.left() + 0.5, r.top() + h / 2 + 0.5, r.width() - 1, r.height() - h / 2 - 1), 5, 5);
    if (caption.isEmpty()) {
        return;
    }
    painter.fillRect(caption, m_captionBackground);
    painter.setPen(m_text);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine,
                     m_caption);
}

}  // namespace varnoth
