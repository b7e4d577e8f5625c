// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/Announcer.h"

#include "ui/controls/ControlAccessibility.h"

namespace varnoth {

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    SetAccessibleRole(*this, QAccessible::Notification);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(0, 0);
    hide();
}

void Announcer::Announce(const QString& message) {
    // Hidden first, so that showing it again reports the notification (and its new name) once more.
    hide();
    setAccessibleName(message);
    show();
}

}  // namespace varnoth
