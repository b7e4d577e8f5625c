// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace varnoth {

// Filter types of an EQ band.
constexpr std::int32_t EQ_TYPE_PEAK = 1;
constexpr std::int32_t EQ_TYPE_LOWSHELF = 4;
constexpr std::int32_t EQ_TYPE_HIGHSHELF = 5;

// Number of display columns of an EQ curve.
constexpr int kEqColumns = 512;

// One band of an EQ graph. The owner reads and writes the fields directly; `x` and `y` are the handle
// position relative to the plot's top-left corner as of the last paint.
struct EqPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t index = 0;
    std::int32_t type = EQ_TYPE_PEAK;
    float freq = 100.0f;
    float gain = 0.0f;
    float q = 1.0f;
    std::array<float, kEqColumns> response{};
    float minFreq = 20.5f;
    float maxFreq = 20000.5f;
    float minGain = -12.0f;
    float maxGain = 12.0f;
};

}  // namespace varnoth
