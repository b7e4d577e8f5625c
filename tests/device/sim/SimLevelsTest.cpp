// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimLevels.h"

#include <gtest/gtest.h>

#include <chrono>

namespace varnoth {
namespace {

using std::chrono::milliseconds;

TEST(SimLevels, SingerPhrasesAndBackingTrackStayInTheirRanges) {
    for (std::uint64_t seed : {1u, 2u, 99u}) {
        int singing = 0, breathing = 0, loudVoice = 0;
        for (int t = 0; t < 120000; t += 50) {
            const auto levels = SimLevels::At(seed, milliseconds(t));
            for (std::uint8_t level : levels) {
                ASSERT_LE(level, SimLevels::kMax) << "seed " << seed << " at " << t << " ms";
            }
            ASSERT_GE(levels[2], SimLevels::kMusicMin) << "music never stops";
            ASSERT_GE(levels[3], SimLevels::kMusicMin);
            if (SimLevels::Singing(seed, milliseconds(t))) {
                ++singing;
                ASSERT_GT(levels[0], SimLevels::kMicFloor) << "seed " << seed << " at " << t << " ms";
                loudVoice += levels[0] >= 36 ? 1 : 0;
            } else {
                ++breathing;
                ASSERT_LE(levels[0], SimLevels::kMicFloor) << "seed " << seed << " at " << t << " ms";
            }
        }
        EXPECT_GT(singing, breathing) << "a singer mostly sings";
        EXPECT_GT(breathing, 0) << "and breathes between phrases";
        EXPECT_GT(loudVoice, singing / 4) << "with strong syllables";
    }
}

TEST(SimLevels, AreAFunctionOfSeedAndTime) {
    EXPECT_EQ(SimLevels::At(5, milliseconds(4321)), SimLevels::At(5, milliseconds(4321)));
    int differences = 0;
    for (int t = 0; t < 10000; t += 100) {
        differences += SimLevels::At(5, milliseconds(t)) != SimLevels::At(6, milliseconds(t)) ? 1 : 0;
    }
    EXPECT_GT(differences, 50);
}

}  // namespace
}  // namespace varnoth
