// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ImageButtonAccessible.h"

#include "ui/controls/ImageButton.h"

namespace varnoth {

ImageButtonAccessible::ImageButtonAccessible(ImageButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

ImageButton* ImageButtonAccessible::Button() const {
    return static_cast<ImageButton*>(widget());
}

QAccessible::State ImageButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    const ImageButton* button = Button();
    state.pressed = button->isDown();
    state.checkable = button->HasAltImage();
    state.checked = button->HasAltImage() && button->AltState();
    return state;
}

QString ImageButtonAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return Button()->text();
    }
    return QAccessibleWidget::text(type);
}

QStringList ImageButtonAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled()) {
        names.prepend(pressAction());
    }
    return names;
}

void ImageButtonAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && widget()->isEnabled()) {
        Button()->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

}  // namespace varnoth
