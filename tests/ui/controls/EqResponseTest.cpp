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

}  // namespace
}  // namespace varnoth
