// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ValueFormat.h"

#include <array>
#include <charconv>
#include <cmath>

namespace varnoth::ValueFormat {

namespace {

// printf's "%.<precision>f", independent of the C locale.
std::string Fixed(double v, int precision) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, std::chars_format::fixed, precision);
    return std::string(buffer.data(), result.ptr);
}

// printf's "%+.<precision>f": the sign is always written.
std::string SignedFixed(double v, int precision) {
    std::string text = Fixed(v, precision);
    return text.front() == '-' ? text : "+" + text;
}

// A result converted to a byte: truncated toward zero and kept inside 0..255 (NaN gives 0).
std::uint8_t TruncToByte(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    return v >= 255.0 ? 255 : static_cast<std::uint8_t>(v);
}

// Piecewise-linear threshold scale: each segment starts at raw `from` with `db0` and rises by `step`.
struct ThresholdSegment {
    int from;
    double db0;
    double step;
};
constexpr std::array<ThresholdSegment, 7> kThreshold = {{
    {0, -50.0, 7.0},
    {2, -36.0, 3.0},
    {4, -30.0, 1.5},
    {8, -24.0, 0.75},
    {16, -18.0, 0.375},
    {32, -12.0, 0.1875},
    {64, -6.0, 0.09523809523809523},
}};

// One parametric band: lower limit L, joint J (byte 64) and the slopes on both sides.
struct PeqBand {
    double lower;
    double joint;
    double hzPerByteBelow;
    double hzPerByteAbove;
    double bytePerHzBelow;
    double bytePerHzAbove;
};
constexpr std::array<PeqBand, kPeqBands> kPeqBandScales = {{
    {80, 500, 6.5625, 7.936507936507937, 0.1523809523809524, 0.126},
    {110, 900, 12.34375, 14.285714285714286, 0.0810126582278481, 0.07},
    {240, 2300, 32.1875, 50.79365079365079, 0.031067961165048542, 0.0196875},
    {500, 5000, 70.3125, 158.73015873015873, 0.014222222222222223, 0.0063},
}};

constexpr double kPeqGainStep = 5.291666666666667;  // bytes per dB (127 / 24)
constexpr double kPeqQStep = 0.14960629921259844;   // Q per byte (19 / 127)

const char* InvalidText(int language) {
    return language == 0 ? "无效" : "Invalid";
}

}  // namespace

double ThresholdDb(std::uint8_t t) {
    if (t >= 128) {
        return 0.0;
    }
    const ThresholdSegment* segment = &kThreshold.front();
    for (const ThresholdSegment& candidate : kThreshold) {
        if (t >= candidate.from) {
            segment = &candidate;
        }
    }
    return (t - segment->from) * segment->step + segment->db0;
}

std::string ThresholdText(std::uint8_t t) {
    return Fixed(ThresholdDb(t), 1) + "dB";
}

std::string RatioText(std::uint8_t r) {
    return std::to_string(128 - r) + ":128";
}

double RatioSlope(std::uint8_t r) {
    return (128 - r) * 0.0078125;
}

double AttackMs(std::uint8_t a) {
    if (a <= 60) {
        return 0.015 * a + 0.1;
    }
    if (a <= 100) {
        return 0.225 * (a - 60) + 1.0;
    }
    if (a <= 127) {
        return (a - 100) * 3.3333333333333335 + 10.0;
    }
    return 0.1;
}

std::string AttackText(std::uint8_t a) {
    return Fixed(AttackMs(a), 1) + "ms";
}

double ReleaseMs(std::uint8_t l) {
    if (l <= 60) {
        return 1.5 * l + 10.0;
    }
    if (l <= 100) {
        return 22.5 * (l - 60) + 100.0;
    }
    if (l <= 127) {
        return (l - 100) * 148.14814814814815 + 1000.0;
    }
    return 0.1;
}

std::string ReleaseText(std::uint8_t l) {
    return Fixed(ReleaseMs(l), 0) + "ms";
}

double BoostFactor(std::uint8_t b) {
    if (b <= 32) {
        return b / 32.0 + 1.0;
    }
    if (b <= 64) {
        return (b - 32) / 16.0 + 2.0;
    }
    if (b <= 127) {
        return (b - 64) * 0.06349206349206349 + 4.0;
    }
    return 0.0;
}

std::string BoostText(std::uint8_t b) {
    // Appended to a string of its own: GCC 12 warns (-Wrestrict) about prepending to a temporary.
    std::string text(1, 'x');
    text += Fixed(BoostFactor(b), 1);
    return text;
}

std::string EffectHpfText(std::uint8_t v) {
    return v == 0 ? std::string("OFF") : Fixed(v * 4.724409448818897, 0) + "Hz";
}

std::string EffectHsfText(std::uint8_t v) {
    const double db = v < 64 ? 0.1875 * v - 12.0 : (v - 64) * 0.09523809523809523;
    return SignedFixed(db, 1) + "db";
}

std::string EffectLevelText(std::uint8_t v) {
    return v == 0 ? std::string("-\u221e") : Fixed(0.3 - (128 - v) * 0.3333333333333333, 1) + "db";
}

std::string EffectDelayText(std::uint8_t v) {
    return Fixed(v * 10.433070866141732 + 40.0, 0) + "ms";
}

std::string EffectFeedbackText(std::uint8_t v) {
    return Fixed(v * 0.7874015748031497, 0) + "%";
}

std::string RawText(int v) {
    return std::to_string(v);
}

std::string SubFrequencyText(std::uint8_t f) {
    return std::to_string(static_cast<int>(f * 1.968503937007874 + 10.0)) + "Hz";
}

std::string MicControlSubTimeText(std::uint8_t t, int language) {
    return t == 0 ? std::string(InvalidText(language)) : Fixed(t / 10.0, 1) + "s";
}

std::string MicControlSubRateText(std::uint8_t t, std::uint8_t r, int language) {
    return t == 0 ? std::string(InvalidText(language)) : std::to_string(r) + "%";
}

int GeqGainDb(std::uint8_t x) {
    return x - 64;
}

std::uint8_t GeqByte(double gainDb) {
    return TruncToByte(std::trunc(gainDb) + 64.0);
}

float PeqGainDb(std::uint8_t g) {
    const double db = g / kPeqGainStep - 12.0;
    return static_cast<float>(db >= 11.8 ? 12.0 : db);
}

std::uint8_t PeqGainByte(double gainDb) {
    return TruncToByte((gainDb + 12.0) * kPeqGainStep);
}

float PeqQ(std::uint8_t q) {
    return static_cast<float>(q * kPeqQStep + 1.0);
}

std::uint8_t PeqQByte(double q) {
    return TruncToByte((q - 1.0) / kPeqQStep + 0.5);
}

float PeqFrequencyHz(int band, std::uint8_t f) {
    if (band < 0 || band >= kPeqBands) {
        return 0.0f;
    }
    const PeqBand& scale = kPeqBandScales[band];
    const double hz =
        f < 64 ? scale.hzPerByteBelow * f + scale.lower : (f - 64) * scale.hzPerByteAbove + scale.joint;
    return static_cast<float>(hz);
}

std::uint8_t PeqFrequencyByte(int band, double hz) {
    if (band < 0 || band >= kPeqBands) {
        return 0;
    }
    const PeqBand& scale = kPeqBandScales[band];
    return TruncToByte(hz <= scale.joint ? (hz - scale.lower) * scale.bytePerHzBelow
                                         : (hz - scale.joint) * scale.bytePerHzAbove + 64.0);
}

}  // namespace varnoth::ValueFormat
