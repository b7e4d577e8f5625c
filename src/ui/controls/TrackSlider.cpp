// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/TrackSlider.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include "ui/controls/ControlAccessibility.h"

namespace varnoth {

TrackSlider::TrackSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    InstallControlAccessibility();
    // An action is announced after the slider has computed its new position and before the value
    // follows it; the value changes exactly when the two differ, so the flag never outlives the action.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this] { m_userAction = sliderPosition() != value(); });
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (m_userAction) {
            m_userAction = false;
            emit userMoved();
        }
    });
}

void TrackSlider::MoveBy(int delta) {
    const int before = value();
    m_userAction = false;
    setValue(before + delta);
    if (value() != before) {
        emit userMoved();
    }
}

QString TrackSlider::ShownAt(int position) const {
    return m_shown ? m_shown(position) : QString::number(position);
}

void TrackSlider::MoveTo(int position) {
    MoveBy(position - value());
}

void TrackSlider::AnnounceValue() {
    const QString shown = ShownAt(value());
    if (QAccessible::isActive() && shown != m_announced) {
        m_announced = shown;
        QAccessibleValueChangeEvent event(this, shown);
        QAccessible::updateAccessibility(&event);
    }
}

void TrackSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QSlider::mousePressEvent(event);
}

void TrackSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        event->accept();
        return;
    }
    QSlider::mouseMoveEvent(event);
}

void TrackSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QSlider::mouseReleaseEvent(event);
}

// The groove fills from the end where the value the slider stands for is lowest: the left of a horizontal
// slider and the bottom of a vertical one, whose positions run from the top down, so that it reads like a
// fader. A vertical slider is drawn as the mirror image of itself.
void TrackSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks) {
        option.subControls |= QStyle::SC_SliderTickmarks;
    }
    if (option.orientation == Qt::Vertical && !option.upsideDown) {
        option.upsideDown = true;
        option.sliderPosition = option.maximum - option.sliderPosition + option.minimum;
        option.sliderValue = option.maximum - option.sliderValue + option.minimum;
    }
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace varnoth
