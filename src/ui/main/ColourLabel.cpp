// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ColourLabel.h"

#include <QPainter>

#include <utility>

namespace varnoth {

ColourLabel::ColourLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ColourLabel::SetColourRule(ColourRule rule) {
    m_rule = std::move(rule);
    update();
}

void ColourLabel::SetBackground(std::optional<QColor> background) {
    m_background = background;
    update();
}

QColor ColourLabel::TextColour() const {
    return m_rule ? m_rule(*this) : palette().color(QPalette::WindowText);
}

void ColourLabel::paintEvent(QPaintEvent* /*event*/) {
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
