// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/controls/EqPoint.h"

namespace varnoth {

// Display column (0..511) of a band's frequency on the 10 Hz .. 10^4.4 Hz logarithmic axis, rounded
// half away from zero and held inside the curve so that any frequency can be placed.
int EqColumnOf(float freq);

// Recomputes `point.response` from its type, frequency, gain and Q: the band is evaluated as a biquad
// centred at a quarter of the sampling rate and the result is shifted so that its centre lands on the
// band's own column.
void CalcResponse(EqPoint& point);

}  // namespace varnoth
