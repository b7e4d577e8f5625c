// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/LevelMeterAccessible.h"

#include "ui/controls/LevelMeter.h"

namespace varnoth {

LevelMeterAccessible::LevelMeterAccessible(LevelMeter* meter)
    : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

LevelMeter* LevelMeterAccessible::Meter() const {
    return static_cast<LevelMeter*>(widget());
}

void* LevelMeterAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString LevelMeterAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) {
        return Meter()->ToolTipText(0);
    }
    return QAccessibleWidget::text(type);
}

QVariant LevelMeterAccessible::currentValue() const {
    return Meter()->Value(0);
}

QVariant LevelMeterAccessible::maximumValue() const {
    return Meter()->Range();
}

}  // namespace varnoth
