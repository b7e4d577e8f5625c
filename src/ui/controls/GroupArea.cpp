// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/GroupArea.h"

namespace varnoth {

GroupArea::GroupArea(QWidget* parent) : QGroupBox(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GroupArea::paintEvent(QPaintEvent*) {}

}  // namespace varnoth
