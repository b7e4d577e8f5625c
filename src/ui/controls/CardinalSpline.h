// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <span>

namespace varnoth {

// Appends a cardinal spline through `points` (tension 0.5 by default) to `path` as cubic Bezier
// segments. The path moves to the first point unless `connect` is set, in which case it draws a line
// from its current position.
void AppendCardinalSpline(QPainterPath& path, std::span<const QPointF> points, double tension = 0.5,
                          bool connect = false);

}  // namespace varnoth
