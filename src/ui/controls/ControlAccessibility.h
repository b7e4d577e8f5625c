// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace varnoth {

// What assistive technology (a screen reader over the desktop's accessibility bus) learns of the program's
// own controls: the step and track sliders, the image buttons, the EQ graphs with their bands and the level
// meters get interfaces of their own; any other widget may be given a role of its own (a main window that
// is a dialog underneath, a notice that is an alert). Installed once, before the first control is made;
// every control of this folder installs it.
void InstallControlAccessibility();

// The role `widget` reports instead of its class's. Takes effect for a widget not yet asked for its
// interface, so it is set in the widget's constructor.
void SetAccessibleRole(QWidget& widget, QAccessible::Role role);

// The name and description `widget` gives assistive technology, set only when they differ from what it has:
// Qt tells a screen reader of every call, and a refresh that names every control again, unchanged, would
// flood it with events until it drops some (Orca then ignores what came with the flood).
void SetAccessibleName(QWidget& widget, const QString& name);
void SetAccessibleDescription(QWidget& widget, const QString& description);

}  // namespace varnoth
