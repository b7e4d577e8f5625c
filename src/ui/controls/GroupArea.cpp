// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/GroupArea.h"

#include <QMouseEvent>

namespace varnoth {

GroupArea::GroupArea(QWidget* parent) : QGroupBox(parent) {}

void GroupArea::paintEvent(QPaintEvent*) {}

// Only the group's own background reaches these: the frame around it takes the event instead.
void GroupArea::mousePressEvent(QMouseEvent* event) {
    event->ignore();
}

void GroupArea::mouseReleaseEvent(QMouseEvent* event) {
    event->ignore();
}

void GroupArea::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}

}  // namespace varnoth
