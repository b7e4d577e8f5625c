// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/EqLabelPlace.h"

#include <array>
#include <limits>

namespace varnoth {
namespace {

// The distance of a label from its handle, and how far out a crowded label may go, in steps.
constexpr int kGap = 3;
constexpr int kFarthest = 40;
constexpr int kStepOut = 8;

enum class Side { TowardZero, AwayFromZero, Right, Left };
// Along its side, a label is centred on the handle (0), or begins (-1) or ends (1) at its centre line.
struct Place {
    Side side;
    int along;
};
constexpr std::array<Place, 12> kPlaces = {{
    {Side::TowardZero, 0},
    {Side::TowardZero, -1},
    {Side::TowardZero, 1},
    {Side::AwayFromZero, 0},
    {Side::AwayFromZero, -1},
    {Side::AwayFromZero, 1},
    {Side::Right, 0},
    {Side::Right, -1},
    {Side::Right, 1},
    {Side::Left, 0},
    {Side::Left, -1},
    {Side::Left, 1},
}};

long long Area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

QPoint Corner(const Place& place, QSize size, const QRect& handle, bool zeroLineAbove, int out) {
    const QPoint c = handle.center();
    const int w = size.width();
    const int h = size.height();
    if (place.side == Side::TowardZero || place.side == Side::AwayFromZero) {
        const bool above = (place.side == Side::TowardZero) == zeroLineAbove;
        return QPoint(c.x() - (place.along + 1) * w / 2,
                      above ? handle.top() - out - h : handle.bottom() + 1 + out);
    }
    return QPoint(place.side == Side::Right ? handle.right() + 1 + out : handle.left() - out - w,
                  c.y() - (place.along + 1) * h / 2);
}

}  // namespace

QRect PlaceEqLabel(QSize size, const QRect& handle, bool zeroLineAbove, const QRect& plot,
                   std::span<const QRect> others) {
    QRect best;
    long long bestCost = std::numeric_limits<long long>::max();
    for (int out = kGap; out <= kGap + kFarthest; out += kStepOut) {
        for (const Place& place : kPlaces) {
            const QRect label(Corner(place, size, handle, zeroLineAbove, out), size);
            // Leaving the plot weighs more than covering a handle.
            long long cost = 4 * (Area(label) - Area(label.intersected(plot)));
            for (const QRect& other : others) {
                cost += Area(label.intersected(other));
            }
            if (cost == 0) {
                return label;
            }
            if (cost < bestCost) {
                best = label;
                bestCost = cost;
            }
        }
    }
    return best;
}

}  // namespace varnoth
