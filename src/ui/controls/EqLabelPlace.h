// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <span>

namespace varnoth {

// Where an EQ band's label of `size` goes beside its `handle`: the first place that lies in `plot` and covers
// none of the `others` (the other bands' handles). It tries next to the handle first, then a step further
// out each time, and at each distance the side of the zero line (above the handle when `zeroLineAbove`), the
// other side, the right and the left, the label centred on the handle or beginning or ending at its centre
// line. When every place leaves the plot or covers a handle, the place that does so least.
QRect PlaceEqLabel(QSize size, const QRect& handle, bool zeroLineAbove, const QRect& plot,
                   std::span<const QRect> others);

}  // namespace varnoth
