#include "app/CColourLabel.h"

#include <QPainter>

#include <utility>

namespace varnoth {

CColourLabel::CColourLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void CColourLabel::SetColourRule(ColourRule rule) {
    m_rule = std::move(rule);
    update();
}

void CColourLabel::SetBackground(std::optional<QColor> background) {
    m_background = background;
    update();
}

QColor CColourLabel::TextColour() const {
    return m_rule ? m_rule(*this) : palette().color(QPalette::WindowText);
}

void CColourLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_background) {
        painter.fillRect(rect(), *m_background);
    }
    painter.setPen(TextColour());
    painter.setFont(font());
    const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    painter.drawText(contentsRect(), flags, text());
}

}  // namespace varnoth
