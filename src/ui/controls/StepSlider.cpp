// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/StepSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

namespace varnoth {

StepSlider::StepSlider(Qt::Orientation orientation, QWidget* parent) : TrackSlider(orientation, parent) {
    setInvertedAppearance(orientation == Qt::Vertical);
    setInvertedControls(orientation == Qt::Vertical);
    m_message = OwnMessage();
    // A child of the slider by name, so that a test can follow its ticks.
    m_repeat.setParent(this);
    m_repeat.setObjectName(QStringLiteral("repeat"));
    m_repeat.setInterval(kRepeatPeriodMs);
    connect(&m_repeat, &QTimer::timeout, this, &StepSlider::Repeat);
    // Moves made by the slider itself (thumb drag, keyboard) are reported like the stepped ones; the wheel
    // reports a vertical scroll whatever the orientation.
    connect(this, &TrackSlider::userMoved, this, [this] { emit scrolled(this, m_message); });
}

QRect StepSlider::ThumbRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

void StepSlider::StepToward(const QPoint& point) {
    const QRect thumb = ThumbRect();
    int delta = 0;
    if (orientation() == Qt::Vertical) {
        const int c = thumb.top() + (thumb.bottom() + 1 - thumb.top()) / 2;
        delta = point.y() < c ? -m_step : point.y() > c ? m_step : 0;
        if (!invertedAppearance()) {
            delta = -delta;
        }
    } else {
        const int c = thumb.left() + (thumb.right() + 1 - thumb.left()) / 2;
        delta = point.x() > c ? m_step : point.x() < c ? -m_step : 0;
        if (invertedAppearance()) {
            delta = -delta;
        }
    }
    m_message = OwnMessage();
    MoveBy(delta);
}

void StepSlider::Repeat() {
    const QRect thumb = ThumbRect();
    const bool reached = orientation() == Qt::Vertical
                             ? m_pointer.y() >= thumb.top() && m_pointer.y() <= thumb.bottom()
                             : m_pointer.x() >= thumb.left() && m_pointer.x() <= thumb.right();
    if (!reached) {
        StepToward(m_pointer);
    }
}

void StepSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        TrackSlider::mousePressEvent(event);
        return;
    }
    m_pointer = event->position().toPoint();
    StepToward(m_pointer);
    if (ThumbRect().contains(m_pointer)) {
        TrackSlider::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_repeat.start();
    event->accept();
}

void StepSlider::mouseMoveEvent(QMouseEvent* event) {
    m_pointer = event->position().toPoint();
    TrackSlider::mouseMoveEvent(event);
}

void StepSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_repeat.stop();
    }
    TrackSlider::mouseReleaseEvent(event);
}

void StepSlider::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        m_message = VScroll;
        MoveBy(delta < 0 ? m_step : -m_step);
        m_message = OwnMessage();
    }
    event->accept();
}

}  // namespace varnoth
