// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ControlAccessibility.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

#include "ui/controls/EqGraph.h"
#include "ui/controls/EqGraphAccessible.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/ImageButtonAccessible.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/LevelMeterAccessible.h"
#include "ui/controls/SliderAccessible.h"
#include "ui/controls/TrackSlider.h"

namespace varnoth {

namespace {

constexpr const char* kRoleProperty = "varnothAccessibleRole";

// Asked once per class of the object's class chain, most derived first: the first answer wins.
QAccessibleInterface* ControlFactory(const QString&, QObject* object) {
    if (auto* slider = qobject_cast<TrackSlider*>(object)) {
        return new SliderAccessible(slider);
    }
    if (auto* button = qobject_cast<ImageButton*>(object)) {
        return new ImageButtonAccessible(button);
    }
    if (auto* graph = qobject_cast<EqGraph*>(object)) {
        return new EqGraphAccessible(graph);
    }
    if (auto* meter = qobject_cast<LevelMeter*>(object)) {
        return new LevelMeterAccessible(meter);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant role = object != nullptr ? object->property(kRoleProperty) : QVariant();
    if (widget != nullptr && role.isValid()) {
        return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
    }
    return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlFactory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleRole(QWidget& widget, QAccessible::Role role) {
    InstallControlAccessibility();
    widget.setProperty(kRoleProperty, static_cast<int>(role));
}

void SetAccessibleName(QWidget& widget, const QString& name) {
    if (widget.accessibleName() != name) {
        widget.setAccessibleName(name);
    }
}

void SetAccessibleDescription(QWidget& widget, const QString& description) {
    if (widget.accessibleDescription() != description) {
        widget.setAccessibleDescription(description);
    }
}

}  // namespace varnoth
