#include "ui/controls/StepSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

namespace varnoth {

StepSlider::StepSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    setInvertedAppearance(orientation == Qt::Vertical);
    setInvertedControls(orientation == Qt::Vertical);
    m_repeat.setInterval(kRepeatPeriodMs);
    connect(&m_repeat, &QTimer::timeout, this, [this] { StepToward(m_pointer); });
    // Moves made by the slider itself (thumb drag, keyboard) are reported like the stepped ones.
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { m_userAction = true; });
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (m_userAction) {
            m_userAction = false;
            emit scrolled(this, OwnMessage());
        }
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] { emit scrolled(this, OwnMessage()); });
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
    m_userAction = false;
    setValue(value() + delta);
    emit scrolled(this, OwnMessage());
}

void StepSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    m_pointer = event->position().toPoint();
    StepToward(m_pointer);
    if (ThumbRect().contains(m_pointer)) {
        QSlider::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_repeat.start();
    event->accept();
}

void StepSlider::mouseMoveEvent(QMouseEvent* event) {
    m_pointer = event->position().toPoint();
    QSlider::mouseMoveEvent(event);
}

void StepSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_repeat.stop();
    }
    QSlider::mouseReleaseEvent(event);
}

void StepSlider::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        m_userAction = false;
        setValue(value() + (delta < 0 ? m_step : -m_step));
    }
    emit scrolled(this, VScroll);
    event->accept();
}

}  // namespace varnoth
