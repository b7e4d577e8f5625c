// SPDX-License-Identifier: GPL-3.0-or-later
#include "PointerReach.h"

#include <QAbstractButton>
#include <QScrollArea>

#include "ui/dialogs/DialogBuilder.h"

namespace varnoth::test {
namespace {

std::string Describe(const QWidget* widget) {
    if (widget == nullptr) {
        return "nothing";
    }
    std::string text = widget->metaObject()->className();
    if (const int id = ControlIdOf(*widget); id != 0) {
        text += " " + std::to_string(id);
    }
    if (!widget->accessibleName().isEmpty()) {
        text += " \"" + widget->accessibleName().toStdString() + "\"";
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget);
               button != nullptr && !button->text().isEmpty()) {
        text += " \"" + button->text().toStdString() + "\"";
    }
    return text;
}

bool IsControl(const QWidget& widget) {
    return widget.focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(&widget) != nullptr;
}

}  // namespace

void ScrollIntoView(QWidget& control) {
    for (QWidget* parent = control.parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(parent)) {
            scroll->ensureWidgetVisible(&control, 0, 0);
        }
    }
}

QWidget* WidgetUnderPointer(QWidget& window, QPoint inWindow) {
    QWidget* hit = window.childAt(inWindow);
    return hit != nullptr ? hit : &window;
}

std::vector<std::string> ControlsOutOfReach(QWidget& window) {
    std::vector<std::string> problems;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->isWindow() || !control->isVisibleTo(&window) || !control->isEnabledTo(&window) ||
            !IsControl(*control)) {
            continue;
        }
        ScrollIntoView(*control);
        const QPoint centre = control->mapTo(&window, control->rect().center());
        const QWidget* hit = WidgetUnderPointer(window, centre);
        if (hit != control && !control->isAncestorOf(hit)) {
            problems.push_back(Describe(control) + " at (" + std::to_string(centre.x()) + ", " +
                               std::to_string(centre.y()) + ") is covered by " + Describe(hit));
        }
    }
    return problems;
}

}  // namespace varnoth::test
