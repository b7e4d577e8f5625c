// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/CardinalSpline.h"

namespace varnoth {

void AppendCardinalSpline(QPainterPath& path, std::span<const QPointF> points, double tension, bool connect) {
    if (points.empty()) {
        return;
    }
    if (connect) {
        path.lineTo(points.front());
    } else {
        path.moveTo(points.front());
    }
    const double k = tension / 3.0;
    const std::size_t last = points.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        const QPointF& p0 = points[i == 0 ? 0 : i - 1];
        const QPointF& p1 = points[i];
        const QPointF& p2 = points[i + 1];
        const QPointF& p3 = points[i + 1 == last ? last : i + 2];
        path.cubicTo(p1 + k * (p2 - p0), p2 - k * (p3 - p1), p2);
    }
}

}  // namespace varnoth
