// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QWidget>

#include <string>
#include <vector>

namespace varnoth::test {

// Scrolls every scroll area the control lies in so that the control shows, as a user does before reaching it.
void ScrollIntoView(QWidget& control);

// The widget a hand reaches at a point of a window: Qt's own hit-testing from the top of the window, which
// skips what lets the mouse through and takes what lies on top.
QWidget* WidgetUnderPointer(QWidget& window, QPoint inWindow);

// Every visible, enabled control of the window (a widget that takes the focus or a click) that the pointer
// does not reach at its centre once scrolled into view, each as one line naming it and what is hit there
// instead.
std::vector<std::string> ControlsOutOfReach(QWidget& window);

}  // namespace varnoth::test
