// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ValueFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoth {
namespace {

namespace vf = ValueFormat;

struct TextCase {
    std::string what;
    std::string actual;
    std::string expected;
};

struct ByteCase {
    std::string what;
    int actual;
    int expected;
};

TEST(ValueFormat, RawBytesReadAsTheDeviceScales) {
    const std::vector<TextCase> cases = {
        {"threshold 0", vf::ThresholdText(0), "-50.0dB"},
        {"threshold 1", vf::ThresholdText(1), "-43.0dB"},
        {"threshold 2", vf::ThresholdText(2), "-36.0dB"},
        {"threshold 4", vf::ThresholdText(4), "-30.0dB"},
        {"threshold 8", vf::ThresholdText(8), "-24.0dB"},
        {"threshold 16", vf::ThresholdText(16), "-18.0dB"},
        {"threshold 32", vf::ThresholdText(32), "-12.0dB"},
        {"threshold 64", vf::ThresholdText(64), "-6.0dB"},
        {"threshold 127", vf::ThresholdText(127), "0.0dB"},
        {"threshold 200", vf::ThresholdText(200), "0.0dB"},
        {"ratio 0", vf::RatioText(0), "128:128"},
        {"ratio 127", vf::RatioText(127), "1:128"},
        {"attack 0", vf::AttackText(0), "0.1ms"},
        {"attack 60", vf::AttackText(60), "1.0ms"},
        {"attack 100", vf::AttackText(100), "10.0ms"},
        {"attack 127", vf::AttackText(127), "100.0ms"},
        {"attack 128", vf::AttackText(128), "0.1ms"},
        {"release 0", vf::ReleaseText(0), "10ms"},
        {"release 60", vf::ReleaseText(60), "100ms"},
        {"release 100", vf::ReleaseText(100), "1000ms"},
        {"release 127", vf::ReleaseText(127), "5000ms"},
        {"boost 0", vf::BoostText(0), "x1.0"},
        {"boost 32", vf::BoostText(32), "x2.0"},
        {"boost 64", vf::BoostText(64), "x4.0"},
        {"boost 127", vf::BoostText(127), "x8.0"},
        {"boost 128", vf::BoostText(128), "x0.0"},
        {"HPF 0", vf::EffectHpfText(0), "OFF"},
        {"HPF 1", vf::EffectHpfText(1), "5Hz"},
        {"HPF 127", vf::EffectHpfText(127), "600Hz"},
        {"HSF 0", vf::EffectHsfText(0), "-12.0db"},
        {"HSF 63", vf::EffectHsfText(63), "-0.2db"},
        {"HSF 64", vf::EffectHsfText(64), "+0.0db"},
        {"HSF 127", vf::EffectHsfText(127), "+6.0db"},
        {"level 0", vf::EffectLevelText(0), "-\u221e"},
        {"level 1", vf::EffectLevelText(1), "-42.0db"},
        {"level 127", vf::EffectLevelText(127), "-0.0db"},
        {"delay 0", vf::EffectDelayText(0), "40ms"},
        {"delay 127", vf::EffectDelayText(127), "1365ms"},
        {"feedback 64", vf::EffectFeedbackText(64), "50%"},
        {"feedback 127", vf::EffectFeedbackText(127), "100%"},
        {"send level 93", vf::RawText(93), "93"},
        {"sub frequency 0", vf::SubFrequencyText(0), "10Hz"},
        {"sub frequency 64", vf::SubFrequencyText(64), "135Hz"},
        {"sub frequency 127", vf::SubFrequencyText(127), "260Hz"},
        {"mic-controls-sub time 0, Chinese", vf::MicControlSubTimeText(0, 0), "无效"},
        {"mic-controls-sub rate with time 0, English", vf::MicControlSubRateText(0, 20, 1), "Invalid"},
        {"mic-controls-sub rate with time 0, any non-zero language", vf::MicControlSubRateText(0, 20, 7),
         "Invalid"},
        {"mic-controls-sub time 1", vf::MicControlSubTimeText(1, 0), "0.1s"},
        {"mic-controls-sub time 255", vf::MicControlSubTimeText(255, 1), "25.5s"},
        {"mic-controls-sub rate 20", vf::MicControlSubRateText(10, 20, 0), "20%"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.what;
    }
}

TEST(ValueFormat, PanelValuesOfRawBytes) {
    EXPECT_EQ(vf::GeqGainDb(0), -64);
    EXPECT_EQ(vf::GeqGainDb(76), 12);
    EXPECT_DOUBLE_EQ(vf::RatioSlope(64), 0.5);
    EXPECT_FLOAT_EQ(vf::PeqGainDb(126), 12.0f) << "clamped from 11.81";
    EXPECT_NEAR(vf::PeqGainDb(64), 0.0945, 0.0001);
    EXPECT_FLOAT_EQ(vf::PeqGainDb(0), -12.0f);
    EXPECT_FLOAT_EQ(vf::PeqQ(0), 1.0f);
    EXPECT_FLOAT_EQ(vf::PeqQ(127), 20.0f);
    const float upperLimits[vf::kPeqBands] = {1000, 1800, 5500, 15000};
    const float joints[vf::kPeqBands] = {500, 900, 2300, 5000};
    for (int band = 0; band < vf::kPeqBands; ++band) {
        EXPECT_FLOAT_EQ(vf::PeqFrequencyHz(band, 127), upperLimits[band]) << "band " << band;
        EXPECT_FLOAT_EQ(vf::PeqFrequencyHz(band, 64), joints[band]) << "band " << band;
    }
}

TEST(ValueFormat, PanelValuesStoredAsBytes) {
    std::vector<ByteCase> cases = {
        {"GEQ -3.7 dB truncates toward zero", vf::GeqByte(-3.7), 61},
        {"GEQ +3.7 dB", vf::GeqByte(3.7), 67},
        {"GEQ 0 dB", vf::GeqByte(0.0), 64},
        {"PEQ gain 0 dB", vf::PeqGainByte(0.0), 63},
        {"PEQ gain +12 dB", vf::PeqGainByte(12.0), 127},
        {"PEQ gain -12 dB", vf::PeqGainByte(-12.0), 0},
        {"PEQ Q 1.414 rounds to the nearest step", vf::PeqQByte(1.414), 3},
        {"PEQ Q 20", vf::PeqQByte(20.0), 127},
        {"PEQ Q 1", vf::PeqQByte(1.0), 0},
        {"700 Hz in band 0", vf::PeqFrequencyByte(0, 700.0), 89},
        {"4000 Hz in band 2", vf::PeqFrequencyByte(2, 4000.0), 97},
        {"a frequency below the band's limit stays at the bottom", vf::PeqFrequencyByte(1, 50.0), 0},
        {"a band that does not exist", vf::PeqFrequencyByte(4, 1000.0), 0},
    };
    for (int band = 0; band < vf::kPeqBands; ++band) {
        for (const int byte : {0, 63, 64, 127}) {
            const float hz = vf::PeqFrequencyHz(band, static_cast<std::uint8_t>(byte));
            cases.push_back(
                {"band " + std::to_string(band) + " byte " + std::to_string(byte) + " there and back",
                 vf::PeqFrequencyByte(band, hz), byte});
        }
    }
    for (const ByteCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace varnoth
