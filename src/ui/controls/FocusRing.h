// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPainter;
class QWidget;

namespace varnoth {

// The keyboard focus of a control that draws itself: two rings inside its edge, the palette's highlight
// outside and its highlighted text dotted inside, so that it shows on a light picture and on a dark one, in
// a light theme and in a dark one.
void DrawFocusRing(QPainter& painter, const QWidget& widget);

}  // namespace varnoth
