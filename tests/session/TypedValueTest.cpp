// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/TypedValue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace varnoth {
namespace {

using TypedValue::Outcome;

constexpr int kUnread = -1;
constexpr int kOutside = -2;

struct TypedCase {
    const char* param;
    std::string typed;
    int expected;  // the raw value, kUnread or kOutside
};

TypedValue::Scale ScaleNamed(const char* name) {
    const std::optional<ParameterRef> ref = FindParameter(name);
    EXPECT_TRUE(ref) << name;
    return TypedValue::ScaleOf(*ref);
}

std::string Describe(const TypedValue::Result& result) {
    switch (result.outcome) {
        case Outcome::Value:
            return "raw " + std::to_string(result.raw);
        case Outcome::Unreadable:
            return "unreadable";
        case Outcome::OutOfRange:
            break;
    }
    return "out of range";
}

std::string Describe(int expected) {
    return expected == kUnread    ? "unreadable"
           : expected == kOutside ? "out of range"
                                  : "raw " + std::to_string(expected);
}

TEST(TypedValue, TypedTextsBecomeTheNearestStepOfTheShownScale) {
    const std::vector<TypedCase> cases = {
        // Units as shown, omitted, or another of the same kind; both minus signs; both decimal marks.
        {"CompressThreshold_Mic", "-50", 0},
        {"CompressThreshold_Mic", "\u22126 dB", 64},
        {"CompressThreshold_Mic", "-6.0dB", 64},
        {"CompressThreshold_Mic", "0", 127},
        {"CompressThreshold_Mic", "-5.95", 64},  // halfway between -6.0 and -5.9: away from zero
        {"CompressRatio_Mic", "32:128", 96},
        {"CompressRatio_Mic", "1:4", 96},
        {"CompressRatio_Mic", "32", 96},
        {"CompressRatio_Mic", "128 : 128", 0},
        {"CompressAttackTime_Mic", "10ms", 100},
        {"CompressAttackTime_Mic", "0.01 s", 100},
        {"CompressReleaseTime_Mic", "1.2s", 101},  // 1148 ms lies nearer than 1296 ms
        {"CompressReleaseTime_Mic", "5000", 127},
        {"CompressBoost_Mic", "x2", 32},  // bytes 31 and 32 both show x2.0: 32 is the one that is
        {"CompressBoost_Mic", "2x", 32},
        {"CompressBoost_Mic", "\u00d74", 64},
        {"CompressBoost_Mic", "2", 32},
        {"EffectHPF.0", "off", 0},
        {"EffectHPF.1", "600 Hz", 127},
        {"EffectHPF.0", "0.3k", 64},  // 300 Hz between 298 Hz and 302 Hz
        {"EffectHSF.0", "+6", 127},
        {"EffectHSF.0", "0", 64},
        {"EffectLevel.0", "-inf", 0},
        {"EffectLevel.0", "\u2212\u221e", 0},
        {"EffectLevel.0", "0", 127},  // shown as -0.0db
        {"EffectDelayTime.0", "1.365 s", 127},
        {"EffectFeedback.0", "25%", 32},
        {"EffectFeedback.0", "\uff12\uff15\uff05", 32},  // full-width digits and percent sign
        {"SubFrequency", "135Hz", 64},
        {"PEQLowF_Mic", "700 Hz", 89},
        {"PEQHMidF_Mic", "4k", 97},
        {"PEQHighF_Music", "1200 Hz", 10},
        {"PEQHighF_Music", "1.2k", 10},
        {"PEQHighF_Music", "1,2 kHz", 10},
        {"PEQLowGain_Mic", "0", 63},  // -0.1 dB and +0.1 dB are as near: the lower byte, as a drag stores
        {"PEQLowGain_Mic", "-3", 47},
        {"PEQLowGain_Mic", "+12", 127},  // bytes 126 and 127 both show +12.0 dB: the one that is
        {"PEQLMidQ_Mic", "1.414", 3},
        {"PEQHMidQ_Music", "20", 127},
        {"MicGEQ.0", "-3.7", 60},
        {"MicGEQ.9", "+14 dB", 78},
        {"MicGEQ.3", "2.5", 67},
        {"MicGEQ.3", "-2.5", 61},
        {"MicControlSubTime", "2.5s", 25},
        {"MicControlSubTime", "300 ms", 3},
        {"MicControlSubTime", "Off", 0},
        {"MicControlSubTime", "\u65e0\u6548", 0},
        {"MicControlSubRate", "20 %", 20},
        {"InputGain_Mic", " 64 ", 64},
        {"InputGain_Mic", "6.6", 7},
        {"InputGain_Mic", "\uff0d\uff13", kOutside},  // a full-width minus is a minus
        // Out of range: the right kind of number beyond the ends shown.
        {"CompressThreshold_Mic", "-51", kOutside},
        {"CompressThreshold_Mic", "1 dB", kOutside},
        {"CompressRatio_Mic", "4:1", kOutside},
        {"CompressBoost_Mic", "9", kOutside},
        {"EffectHPF.0", "0", kOutside},
        {"SubFrequency", "1.2k", kOutside},
        {"PEQLowGain_Mic", "12.5", kOutside},
        {"PEQLMidQ_Mic", "0.5", kOutside},
        {"MicGEQ.0", "15", kOutside},
        {"MicControlSubTime", "0", kOutside},
        {"InputGain_Mic", "128", kOutside},
        // Unreadable: another unit, no number, or anything around it.
        {"CompressThreshold_Mic", "-6 Hz", kUnread},
        {"InputGain_Mic", "64 dB", kUnread},
        {"CompressRatio_Mic", "32 dB", kUnread},
        {"CompressThreshold_Mic", "1:2", kUnread},
        {"CompressBoost_Mic", "x2 dB", kUnread},
        {"CompressRatio_Mic", "1:0", kUnread},
        {"EffectLevel.0", "off", kUnread},
        {"InputGain_Mic", "", kUnread},
        {"InputGain_Mic", "   ", kUnread},
        {"InputGain_Mic", "abc", kUnread},
        {"InputGain_Mic", "--3", kUnread},
        {"InputGain_Mic", "3..1", kUnread},
        {"InputGain_Mic", ".", kUnread},
        {"InputGain_Mic", "1e3", kUnread},
        {"InputGain_Mic", "0x10", kUnread},
        {"InputGain_Mic", "nan", kUnread},
        {"InputGain_Mic", "inf", kUnread},
        {"InputGain_Mic", "3 4", kUnread},
        {"InputGain_Mic", "\xff\xfe", kUnread},
        {"InputGain_Mic", std::string(TypedValue::kMaxTypedBytes - 2, ' ') + "64", 64},
        {"InputGain_Mic", std::string(TypedValue::kMaxTypedBytes - 1, ' ') + "64", kUnread},
    };
    for (const TypedCase& c : cases) {
        const TypedValue::Result result = TypedValue::Parse(c.typed, ScaleNamed(c.param));
        const int actual = result.outcome == Outcome::Value        ? result.raw
                           : result.outcome == Outcome::Unreadable ? kUnread
                                                                   : kOutside;
        EXPECT_EQ(actual, c.expected) << c.param << " typed \"" << c.typed << "\": " << Describe(result)
                                      << ", expected " << Describe(c.expected);
    }
}

TEST(TypedValue, TypingWhatTheLabelShowsKeepsTheCurrentStep) {
    const TypedValue::Scale boost = ScaleNamed("CompressBoost_Mic");
    EXPECT_EQ(TypedValue::Parse("x2.0", boost, 31).raw, 31);
    EXPECT_EQ(TypedValue::Parse("x2.0", boost, 32).raw, 32);
    EXPECT_EQ(TypedValue::Parse("x2.0", boost, 40).raw, 32);
    EXPECT_EQ(TypedValue::Parse("x2.1", boost, 31).raw, 34);  // 2.125 and 2.0625 show x2.1
}

TEST(TypedValue, ANarrowerRangeRefusesWhatLiesBeyondIt) {
    const TypedValue::Scale volume = TypedValue::ScaleOf(*FindParameter("MicVol"), 0, 20);
    EXPECT_EQ(TypedValue::Parse("20", volume).raw, 20);
    EXPECT_EQ(TypedValue::Parse("21", volume).outcome, Outcome::OutOfRange);
    const TypedValue::Scale raw = TypedValue::RawScale(0, 127);
    EXPECT_EQ(TypedValue::Parse("99", raw).raw, 99);
    EXPECT_EQ(TypedValue::Parse("40ms", raw).outcome, Outcome::Unreadable);
}

TEST(TypedValue, TheRangeShowsItsEndsAsTheLabelsDoAndItsWords) {
    struct RangeCase {
        const char* param;
        int language;
        TypedValue::ShownRange expected;
    };
    const std::vector<RangeCase> cases = {
        {"CompressThreshold_Mic", 1, {"-50.0dB", "0.0dB", {}}},
        {"CompressRatio_Mic", 1, {"1:128", "128:128", {}}},
        {"EffectHPF.0", 1, {"5Hz", "600Hz", {"OFF"}}},
        {"EffectLevel.1", 0, {"-42.0db", "-0.0db", {"-\u221e"}}},
        {"MicControlSubTime", 0, {"0.1s", "25.5s", {"\u65e0\u6548"}}},
        {"MicControlSubTime", 1, {"0.1s", "25.5s", {"Invalid"}}},
        {"MicGEQ.4", 1, {"-14dB", "+14dB", {}}},
    };
    for (const RangeCase& c : cases) {
        const TypedValue::ShownRange range = TypedValue::RangeOf(ScaleNamed(c.param), c.language);
        EXPECT_EQ(range.low, c.expected.low) << c.param;
        EXPECT_EQ(range.high, c.expected.high) << c.param;
        EXPECT_EQ(range.words, c.expected.words) << c.param;
    }
}

TEST(TypedValue, EveryShownTextOfEveryParameterTypesBackToItsOwnStep) {
    // Rows that show the same range alike stand for each other; every index is shown alike.
    std::set<std::tuple<TypedValue::ShownFunction, int, int>> seen;
    for (const Parameter& param : ParameterTable()) {
        if (!seen.insert({param.shown, param.min, param.max}).second) {
            continue;
        }
        const ParameterRef ref{&param, 0};
        const TypedValue::Scale scale = TypedValue::ScaleOf(ref);
        for (int raw = param.min; raw <= param.max; ++raw) {
            const std::string shown = ref.Shown(static_cast<std::uint8_t>(raw), 1);
            const TypedValue::Result result = TypedValue::Parse(shown, scale, raw);
            EXPECT_EQ(result.outcome, Outcome::Value) << ref.Name() << " \"" << shown << "\"";
            EXPECT_EQ(result.raw, raw) << ref.Name() << " \"" << shown << "\"";
        }
    }
}

}  // namespace
}  // namespace varnoth
