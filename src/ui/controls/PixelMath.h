// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>

namespace varnoth {

// Truncation toward zero for pixel coordinates and displayed whole numbers. Values an owner may have
// written without bounds (a non-finite or huge gain or frequency) are held to a range far outside any
// surface, so the conversion is always defined.
inline int Trunc(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    return static_cast<int>(std::clamp(v, -1.0e6, 1.0e6));
}

// Rounding half away from zero, with the same bounds.
inline int RoundHalfAway(double v) {
    return Trunc(std::round(v));
}

}  // namespace varnoth
