// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/controls/EqResponse.h"

namespace varnoth {
namespace {

EqPoint Band(int type, float freq, float gain, float q) {
    EqPoint p;
    p.type = type;
    p.freq = freq;
    p.gain = gain;
    p.q = q;
    CalcResponse(p);
    return p;
}

TEST(EqColumnOf, PlacesFrequenciesOnTheLogAxisAndKeepsThemInsideTheCurve) {
    struct Case {
        float freq;
        int column;
    };
    const Case cases[] = {
        {20.5f, 47},
        {20000.5f, 497},
        {10.0f, 0},
        {1000.0f, 301},
        {500.0f, 256},
        {5.0f, 0},
        {0.0f, 0},
        {-3.0f, 0},
        {30000.0f, 511},
        {1e9f, 511},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 511},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqColumnOf(c.freq), c.column) << "frequency " << c.freq;
    }
}

TEST(CalcResponse, PeakingBandReachesItsGainAtItsOwnColumnAndIsFlatFarAway) {
    for (float gain : {12.0f, -12.0f, 3.5f}) {
        const EqPoint p = Band(EQ_TYPE_PEAK, 1000.0f, gain, 1.0f);
        const int e = EqColumnOf(1000.0f);
        EXPECT_NEAR(p.response[e], gain, 1e-3) << "gain " << gain;
        EXPECT_NEAR(p.response[0], 0.0f, 1e-3) << "gain " << gain;
        EXPECT_LT(std::fabs(p.response[e + 40]), std::fabs(gain)) << "gain " << gain;
        EXPECT_NEAR(p.response[e - 10], p.response[e + 10], 1e-3) << "symmetry around the centre";
    }
}

TEST(CalcResponse, NarrowerWithHigherQ) {
    const EqPoint wide = Band(EQ_TYPE_PEAK, 1000.0f, 12.0f, 1.0f);
    const EqPoint narrow = Band(EQ_TYPE_PEAK, 1000.0f, 12.0f, 4.0f);
    const int e = EqColumnOf(1000.0f);
    EXPECT_GT(wide.response[e + 20], narrow.response[e + 20] + 1.0f);
}

TEST(CalcResponse, ShelvesSettleAtTheGainAndAtZero) {
    const EqPoint low = Band(EQ_TYPE_LOWSHELF, 500.0f, 9.0f, 1.0f);
    EXPECT_NEAR(low.response[0], 9.0f, 0.05f);
    EXPECT_NEAR(low.response[511], 0.0f, 0.05f);
    const EqPoint high = Band(EQ_TYPE_HIGHSHELF, 500.0f, -6.0f, 1.0f);
    EXPECT_NEAR(high.response[0], 0.0f, 0.05f);
    EXPECT_NEAR(high.response[511], -6.0f, 0.05f);
    // Half the gain in dB at the corner column.
    EXPECT_NEAR(low.response[256], 4.5f, 0.05f);
    // The first 120 samples of a shelf share one angle, so the curve is flat there.
    EXPECT_EQ(low.response[0], low.response[119]);
}

TEST(CalcResponse, ZeroGainIsFlatForEveryType) {
    for (int type : {EQ_TYPE_PEAK, EQ_TYPE_LOWSHELF, EQ_TYPE_HIGHSHELF}) {
        const EqPoint p = Band(type, 2300.0f, 0.0f, 1.0f);
        for (float v : p.response) {
            ASSERT_NEAR(v, 0.0f, 1e-4) << "type " << type;
        }
    }
}

TEST(CalcResponse, FrequencyOutsideTheAxisStillGivesFiniteCurve) {
    for (float freq : {1.0f, 50000.0f}) {
        const EqPoint p = Band(EQ_TYPE_PEAK, freq, 12.0f, 1.0f);
        for (float v : p.response) {
            ASSERT_TRUE(std::isfinite(v)) << "frequency " << freq;
        }
    }
    EXPECT_NEAR(Band(EQ_TYPE_PEAK, 1.0f, 12.0f, 1.0f).response[0], 12.0f, 1e-3);
    EXPECT_NEAR(Band(EQ_TYPE_PEAK, 50000.0f, 12.0f, 1.0f).response[511], 12.0f, 1e-3);
}

// Values at chosen columns, worked out apart from the program: the biquad's transfer function evaluated
// as a complex ratio on the unit circle, at the angles of the peaking and shelf sample spacings. Shelves
// clamp their slope parameter to 0.4..2.0 (so 0.2 acts as 0.4 and 3.0 as 2.0).
TEST(CalcResponse, MatchesAnIndependentComputation) {
    struct Value {
        int column;
        float db;
    };
    struct Case {
        int type;
        float freq, gain, q;
        Value values[9];
    };
    const Case cases[] = {
        {1,
         1000.0f,
         6.0f,
         1.00f,
         {{0, -0.000000f},
          {241, 1.102970f},
          {286, 4.690151f},
          {298, 5.931936f},
          {301, 6.000000f},
          {304, 5.931936f},
          {316, 4.690151f},
          {361, 1.102970f},
          {511, 0.017342f}}},
        {1,
         2300.0f,
         -9.0f,
         3.50f,
         {{0, -0.000000f},
          {296, -0.182144f},
          {341, -2.250834f},
          {353, -7.838593f},
          {356, -9.000000f},
          {359, -7.838593f},
          {371, -2.250834f},
          {416, -0.182144f},
          {511, -0.014149f}}},
        {1,
         250.0f,
         12.0f,
         0.25f,
         {{0, 0.611641f},
          {151, 8.960389f},
          {196, 11.738672f},
          {208, 11.989255f},
          {211, 12.000000f},
          {214, 11.989255f},
          {226, 11.738672f},
          {271, 8.960389f},
          {511, 0.000311f}}},
        {4,
         500.0f,
         9.0f,
         1.00f,
         {{0, 9.000000f},
          {196, 8.517090f},
          {241, 5.896856f},
          {253, 4.786353f},
          {256, 4.500000f},
          {259, 4.213647f},
          {271, 3.103144f},
          {316, 0.482910f},
          {511, 0.000000f}}},
        {4,
         500.0f,
         -6.0f,
         0.20f,
         {{0, -5.999974f},
          {196, -5.269320f},
          {241, -3.689799f},
          {253, -3.139923f},
          {256, -3.000000f},
          {259, -2.860077f},
          {271, -2.310201f},
          {316, -0.730680f},
          {511, -0.000026f}}},
        {4,
         120.0f,
         12.0f,
         3.00f,
         {{0, 12.000076f},
          {103, 13.324602f},
          {148, 9.463670f},
          {160, 6.719399f},
          {163, 6.000000f},
          {166, 5.280601f},
          {178, 2.536330f},
          {223, -1.324602f},
          {511, -0.000076f}}},
        {5,
         5000.0f,
         -12.0f,
         0.70f,
         {{0, -0.000027f},
          {346, -1.164331f},
          {391, -4.492705f},
          {403, -5.693985f},
          {406, -6.000000f},
          {409, -6.306015f},
          {421, -7.507295f},
          {466, -10.835670f},
          {511, -11.891218f}}},
        {5,
         8000.0f,
         6.0f,
         2.00f,
         {{0, -0.000031f},
          {377, -0.492405f},
          {422, 1.145103f},
          {434, 2.601217f},
          {437, 3.000000f},
          {440, 3.398783f},
          {452, 4.854897f},
          {497, 6.492405f},
          {511, 6.377412f}}},
    };
    for (const Case& c : cases) {
        const EqPoint p = Band(c.type, c.freq, c.gain, c.q);
        for (const Value& v : c.values) {
            EXPECT_NEAR(p.response[static_cast<std::size_t>(v.column)], v.db, 2e-4)
                << "type " << c.type << " at " << c.freq << " Hz, " << c.gain << " dB, q " << c.q
                << ": column " << v.column;
        }
    }
}

}  // namespace
}  // namespace varnoth
