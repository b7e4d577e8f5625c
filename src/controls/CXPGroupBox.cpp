#include "controls/CXPGroupBox.h"

#include <QPainter>

namespace varnoth {

CXPGroupBox::CXPGroupBox(QWidget* parent)
    : QGroupBox(parent),
      m_frame(palette().color(QPalette::Dark)),
      m_captionBackground(palette().color(QPalette::Window)),
      m_text(palette().color(QPalette::WindowText)) {}

void CXPGroupBox::SetBorderColor(const QColor& colour) {
    m_frame = colour;
    Changed();
}

void CXPGroupBox::SetCaptionBackground(const QColor& colour) {
    m_captionBackground = colour;
    Changed();
}

void CXPGroupBox::SetTextColor(const QColor& colour) {
    m_text = colour;
    Changed();
}

void CXPGroupBox::Changed() {
    repaint();
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CXPGroupBox::paintEvent(QPaintEvent*) {
    if (m_caption.isEmpty() && !title().isEmpty()) {
        m_caption = QLatin1Char(' ') + title() + QLatin1Char(' ');
    }
    QPainter painter(this);
    painter.setFont(font());
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const QFontMetrics fm(font());
    const int w = m_caption.isEmpty() ? 0 : fm.horizontalAdvance(m_caption);
    const int h = m_caption.isEmpty() ? 0 : fm.height();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(m_frame, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(
        QRectF(r.left() + 0.5, r.top() + h / 2 + 0.5, r.width() - 1, r.height() - h / 2 - 1), 5, 5);
    if (m_caption.isEmpty()) {
        return;
    }
    const QRect caption(r.left() + 10, r.top(), w, h);
    painter.fillRect(caption, m_captionBackground);
    painter.setPen(m_text);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine,
                     m_caption);
}

}  // namespace varnoth
