// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPainter;
class QPalette;
class QRect;
class QWidget;

namespace varnoth {

// The keyboard focus of a control that draws itself: two rings inside its edge, the palette's highlight
// outside and its highlighted text dotted inside, so that it shows on a light picture and on a dark one, in
// a light theme and in a dark one.
void DrawFocusRing(QPainter& painter, const QWidget& widget);
// The same rings inside `edge`, in the palette's colours: for a ring drawn around something else.
void DrawFocusRing(QPainter& painter, const QRect& edge, const QPalette& palette);

}  // namespace varnoth
