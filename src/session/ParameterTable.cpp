#include "session/ParameterTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "session/DeviceSession.h"
#include "session/ValueFormat.h"

namespace varnoth {
namespace {

using Byte = std::uint8_t;

constexpr Byte kFlat = 0x40;

constexpr RegisterEntry Stereo(Byte block, Byte index, Byte channel, Byte defaultValue = 0,
                               ValueRule rule = ValueRule::Plain) {
    return {true, block, index, channel, true, rule, defaultValue};
}

constexpr RegisterEntry Mono(Byte block, Byte index, Byte channel, Byte defaultValue = 0,
                             ValueRule rule = ValueRule::Plain) {
    return {true, block, index, channel, false, rule, defaultValue};
}

constexpr RegisterEntry StoredOnly() {
    return {};
}

std::string Printed(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// How values are shown. Each takes the raw byte, the parameter's index and the language.
std::string Raw(Byte v, int, int) {
    return ValueFormat::RawText(v);
}
std::string Switch(Byte v, int, int) {
    return v != 0 ? "ON" : "OFF";
}
std::string Threshold(Byte v, int, int) {
    return ValueFormat::ThresholdText(v);
}
std::string Ratio(Byte v, int, int) {
    return ValueFormat::RatioText(v);
}
std::string Attack(Byte v, int, int) {
    return ValueFormat::AttackText(v);
}
std::string Release(Byte v, int, int) {
    return ValueFormat::ReleaseText(v);
}
std::string Boost(Byte v, int, int) {
    return ValueFormat::BoostText(v);
}
std::string PeqGain(Byte v, int, int) {
    return Printed("%+.1fdB", ValueFormat::PeqGainDb(v));
}
template <int band>
std::string PeqFrequency(Byte v, int, int) {
    return Printed("%.0fHz", ValueFormat::PeqFrequencyHz(band, v));
}
std::string PeqQ(Byte v, int, int) {
    return Printed("%.2f", ValueFormat::PeqQ(v));
}
std::string EffectHpf(Byte v, int, int) {
    return ValueFormat::EffectHpfText(v);
}
std::string EffectHsf(Byte v, int, int) {
    return ValueFormat::EffectHsfText(v);
}
std::string EffectLevel(Byte v, int, int) {
    return ValueFormat::EffectLevelText(v);
}
std::string EffectDelay(Byte v, int, int) {
    return ValueFormat::EffectDelayText(v);
}
std::string EffectFeedback(Byte v, int, int) {
    return ValueFormat::EffectFeedbackText(v);
}
std::string SubFrequency(Byte v, int, int) {
    return ValueFormat::SubFrequencyText(v);
}
std::string GeqGain(Byte v, int, int) {
    return Printed("%+.0fdB", ValueFormat::GeqGainDb(v));
}
std::string MicSubTime(Byte v, int, int language) {
    return ValueFormat::MicControlSubTimeText(v, language);
}
// The rate alone: as shown while the function is on.
std::string MicSubRate(Byte v, int, int language) {
    return ValueFormat::MicControlSubRateText(1, v, language);
}

// Rows of a single value, of a value per effect (store rows 9 apart, channel 0 or 1) and of a value per
// graphic EQ band (consecutive positions and register indexes).
// clang-format off
#define VARNOTH_SINGLE(Name, position, registers, lo, hi, shown)                              \
    Parameter{#Name, 0, position, 0, registers, 0, 0, lo, hi, shown,                           \
              [](const DeviceSession& s, int) -> int { return s.Get##Name(); },               \
              [](DeviceSession& s, int, int v) { s.Set##Name(static_cast<Byte>(v)); }}
#define VARNOTH_EFFECT(Name, field, lo, hi, shown, setter)                                    \
    Parameter{#Name, 2, pos::Effect1 + pos::field, pos::kEffectParams, Mono(3, pos::field, 0), \
              0, 1, lo, hi, shown,                                                             \
              [](const DeviceSession& s, int e) -> int { return s.Get##Name(e); },            \
              [](DeviceSession& s, int e, int v) { s.setter(e, static_cast<Byte>(v)); }}
#define VARNOTH_BANDS(Name, registers)                                                        \
    Parameter{#Name, pos::kBands, pos::Name, 1, registers, 1, 0, 50, 78, GeqGain,             \
              [](const DeviceSession& s, int b) -> int { return s.Get##Name(b); },            \
              [](DeviceSession& s, int b, int v) { s.Set##Name(b, v); }}

constexpr int kMic = pos::Compress_Mic;
constexpr int kMusic = pos::Compress_Music;
constexpr int kPeqMic = pos::PEQ_Mic;
constexpr int kPeqMusic = pos::PEQ_Music;

// Raw ranges of the panel's controls: levels and times 0..127, switches 0..1 (the PEQ switch stores any
// non-zero value as 0x7F), graphic EQ bands 64 +/- 14 dB, master volumes 0..36, the preset lists' lengths.
constexpr std::array kParameters{
    VARNOTH_SINGLE(InputGain_Mic, pos::InputGain_Mic, Stereo(8, 4, 0), 0, 127, Raw),
    VARNOTH_SINGLE(InputGain_Music, pos::InputGain_Music, Stereo(8, 4, 2), 0, 127, Raw),
    VARNOTH_SINGLE(NoiseGate_Mic, pos::NoiseGate_Mic, Stereo(8, 5, 0), 0, 127, Raw),
    VARNOTH_SINGLE(NoiseGate_Music, pos::NoiseGate_Music, Stereo(8, 5, 2), 0, 127, Raw),
    VARNOTH_SINGLE(ChToMainL_Mic, pos::ChToMainL_Mic, Stereo(8, 6, 0), 0, 127, Raw),
    VARNOTH_SINGLE(ChToMainR_Mic, pos::ChToMainR_Mic, Stereo(8, 7, 0), 0, 127, Raw),
    VARNOTH_SINGLE(ChToMainL_Music, pos::ChToMainL_Music, Stereo(8, 6, 2), 0, 127, Raw),
    VARNOTH_SINGLE(ChToMainR_Music, pos::ChToMainR_Music, Stereo(8, 7, 2), 0, 127, Raw),
    VARNOTH_SINGLE(ChToEffect1, pos::ChToEffect1, Stereo(8, 8, 0), 0, 127, Raw),
    VARNOTH_SINGLE(ChToEffect2, pos::ChToEffect2, Stereo(8, 9, 0), 0, 127, Raw),
    // The compressor preset has no register: choosing one writes its row into the other fields.
    VARNOTH_SINGLE(CompressOn_Mic, kMic + pos::CompressOn, Stereo(5, 0, 0), 0, 1, Switch),
    VARNOTH_SINGLE(CompressPreset_Mic, kMic + pos::CompressPreset, StoredOnly(), 0, 8, Raw),
    VARNOTH_SINGLE(CompressAttackTime_Mic, kMic + pos::CompressAttackTime, Stereo(5, 1, 0), 0, 127, Attack),
    VARNOTH_SINGLE(CompressReleaseTime_Mic, kMic + pos::CompressReleaseTime, Stereo(5, 2, 0), 0, 127, Release),
    VARNOTH_SINGLE(CompressThreshold_Mic, kMic + pos::CompressThreshold, Stereo(5, 3, 0), 0, 127, Threshold),
    VARNOTH_SINGLE(CompressRatio_Mic, kMic + pos::CompressRatio, Stereo(5, 4, 0), 0, 127, Ratio),
    VARNOTH_SINGLE(CompressBoost_Mic, kMic + pos::CompressBoost, Stereo(5, 5, 0), 0, 127, Boost),
    VARNOTH_SINGLE(CompressOn_Music, kMusic + pos::CompressOn, Stereo(5, 0, 2), 0, 1, Switch),
    VARNOTH_SINGLE(CompressPreset_Music, kMusic + pos::CompressPreset, StoredOnly(), 0, 8, Raw),
    VARNOTH_SINGLE(CompressAttackTime_Music, kMusic + pos::CompressAttackTime, Stereo(5, 1, 2), 0, 127, Attack),
    VARNOTH_SINGLE(CompressReleaseTime_Music, kMusic + pos::CompressReleaseTime, Stereo(5, 2, 2), 0, 127, Release),
    VARNOTH_SINGLE(CompressThreshold_Music, kMusic + pos::CompressThreshold, Stereo(5, 3, 2), 0, 127, Threshold),
    VARNOTH_SINGLE(CompressRatio_Music, kMusic + pos::CompressRatio, Stereo(5, 4, 2), 0, 127, Ratio),
    VARNOTH_SINGLE(CompressBoost_Music, kMusic + pos::CompressBoost, Stereo(5, 5, 2), 0, 127, Boost),
    VARNOTH_SINGLE(PEQOn_Mic, kPeqMic + pos::PEQOn, Stereo(9, 0, 0, kFlat, ValueRule::PeqSwitch), 0, 127, Switch),
    VARNOTH_SINGLE(PEQLowGain_Mic, kPeqMic + pos::PEQLowGain, Stereo(9, 4, 0, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQLMidGain_Mic, kPeqMic + pos::PEQLMidGain, Stereo(9, 5, 0, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQHMidGain_Mic, kPeqMic + pos::PEQHMidGain, Stereo(9, 6, 0, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQHighGain_Mic, kPeqMic + pos::PEQHighGain, Stereo(9, 7, 0, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQLowF_Mic, kPeqMic + pos::PEQLowF, Stereo(9, 8, 0, kFlat), 0, 127, PeqFrequency<0>),
    VARNOTH_SINGLE(PEQLMidF_Mic, kPeqMic + pos::PEQLMidF, Stereo(9, 9, 0, kFlat), 0, 127, PeqFrequency<1>),
    VARNOTH_SINGLE(PEQHMidF_Mic, kPeqMic + pos::PEQHMidF, Stereo(9, 10, 0, kFlat), 0, 127, PeqFrequency<2>),
    VARNOTH_SINGLE(PEQHighF_Mic, kPeqMic + pos::PEQHighF, Stereo(9, 11, 0, kFlat), 0, 127, PeqFrequency<3>),
    VARNOTH_SINGLE(PEQLMidQ_Mic, kPeqMic + pos::PEQLMidQ, Stereo(9, 13, 0, kFlat), 0, 127, PeqQ),
    VARNOTH_SINGLE(PEQHMidQ_Mic, kPeqMic + pos::PEQHMidQ, Stereo(9, 14, 0, kFlat), 0, 127, PeqQ),
    VARNOTH_SINGLE(PEQOn_Music, kPeqMusic + pos::PEQOn, Stereo(9, 0, 2, kFlat, ValueRule::PeqSwitch), 0, 127, Switch),
    VARNOTH_SINGLE(PEQLowGain_Music, kPeqMusic + pos::PEQLowGain, Stereo(9, 4, 2, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQLMidGain_Music, kPeqMusic + pos::PEQLMidGain, Stereo(9, 5, 2, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQHMidGain_Music, kPeqMusic + pos::PEQHMidGain, Stereo(9, 6, 2, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQHighGain_Music, kPeqMusic + pos::PEQHighGain, Stereo(9, 7, 2, kFlat), 0, 127, PeqGain),
    VARNOTH_SINGLE(PEQLowF_Music, kPeqMusic + pos::PEQLowF, Stereo(9, 8, 2, kFlat), 0, 127, PeqFrequency<0>),
    VARNOTH_SINGLE(PEQLMidF_Music, kPeqMusic + pos::PEQLMidF, Stereo(9, 9, 2, kFlat), 0, 127, PeqFrequency<1>),
    VARNOTH_SINGLE(PEQHMidF_Music, kPeqMusic + pos::PEQHMidF, Stereo(9, 10, 2, kFlat), 0, 127, PeqFrequency<2>),
    VARNOTH_SINGLE(PEQHighF_Music, kPeqMusic + pos::PEQHighF, Stereo(9, 11, 2, kFlat), 0, 127, PeqFrequency<3>),
    VARNOTH_SINGLE(PEQLMidQ_Music, kPeqMusic + pos::PEQLMidQ, Stereo(9, 13, 2, kFlat), 0, 127, PeqQ),
    VARNOTH_SINGLE(PEQHMidQ_Music, kPeqMusic + pos::PEQHMidQ, Stereo(9, 14, 2, kFlat), 0, 127, PeqQ),
    // Choosing an effect preset makes the device load it; the session reads the effect back.
    VARNOTH_EFFECT(EffectPreset, EffectPreset, 0, 27, Raw, SetEffectPre),
    VARNOTH_EFFECT(EffectHPF, EffectHPF, 0, 127, EffectHpf, SetEffectHPF),
    VARNOTH_EFFECT(EffectHSF, EffectHSF, 0, 127, EffectHsf, SetEffectHSF),
    VARNOTH_EFFECT(EffectPreDelay, EffectPreDelay, 0, 255, Raw, SetEffectPreDelay),
    VARNOTH_EFFECT(EffectLevel, EffectLevel, 0, 127, EffectLevel, SetEffectLevel),
    VARNOTH_EFFECT(EffectDelayTime, EffectDelayTime, 0, 127, EffectDelay, SetEffectDelayTime),
    VARNOTH_EFFECT(EffectFeedback, EffectFeedback, 0, 127, EffectFeedback, SetEffectFeedback),
    VARNOTH_EFFECT(EffectHDamp, EffectHDamp, 0, 255, Raw, SetEffectHDamp),
    VARNOTH_EFFECT(EffectThreshold, EffectThreshold, 0, 255, Raw, SetEffectThreshold),
    VARNOTH_SINGLE(SubLevel, pos::SubLevel, Mono(11, 4, 0), 0, 127, Raw),
    VARNOTH_SINGLE(SubPhase180, pos::SubPhase180, Mono(11, 5, 0, 0, ValueRule::SubPhase), 0, 1, Switch),
    VARNOTH_SINGLE(SubFrequency, pos::SubFrequency, Mono(11, 6, 0), 0, 127, SubFrequency),
    VARNOTH_SINGLE(SubResonance, pos::SubResonance, Mono(11, 7, 0), 0, 127, Raw),
    VARNOTH_BANDS(MicGEQ, Stereo(10, 0, 0, kFlat)),
    VARNOTH_BANDS(MusicGEQ, Stereo(10, 0, 2, kFlat)),
    VARNOTH_BANDS(CenterGEQ, Mono(10, 0, 4, kFlat)),
    VARNOTH_BANDS(SubGEQ, Mono(10, 0, 5, kFlat)),
    VARNOTH_SINGLE(MicVol, pos::MicVol, Stereo(10, 32, 0, 0, ValueRule::Volume), 0, 36, Raw),
    VARNOTH_SINGLE(MusicVol, pos::MusicVol, Stereo(10, 32, 2, 0, ValueRule::Volume), 0, 36, Raw),
    VARNOTH_SINGLE(CenterVol, pos::CenterVol, Mono(10, 32, 4, 0, ValueRule::Volume), 0, 36, Raw),
    VARNOTH_SINGLE(SubVol, pos::SubVol, Mono(10, 32, 5, 0, ValueRule::Volume), 0, 36, Raw),
    // The mic-controls-sub setting travels as one report of time and rate; time 0 switches it off.
    Parameter{"MicControlSubTime", 0, kNotStored, 0, StoredOnly(), 0, 0, 0, 255, MicSubTime,
              [](const DeviceSession& s, int) -> int { return s.GetMicControlSubTime(); },
              [](DeviceSession& s, int, int v) { s.SetMicControlSub(static_cast<Byte>(v), s.GetMicControlSubRate()); }},
    Parameter{"MicControlSubRate", 0, kNotStored, 0, StoredOnly(), 0, 0, 0, 99, MicSubRate,
              [](const DeviceSession& s, int) -> int { return s.GetMicControlSubRate(); },
              [](DeviceSession& s, int, int v) { s.SetMicControlSub(s.GetMicControlSubTime(), static_cast<Byte>(v)); }},
};
// clang-format on

#undef VARNOTH_SINGLE
#undef VARNOTH_EFFECT
#undef VARNOTH_BANDS

}  // namespace

std::span<const Parameter> ParameterTable() {
    return kParameters;
}

std::string ParameterRef::Name() const {
    return param->count == 0 ? param->name : std::string(param->name) + "." + std::to_string(index);
}

int ParameterRef::Position() const {
    return param->position == kNotStored ? kNotStored : param->position + index * param->positionStep;
}

RegisterEntry ParameterRef::Registers() const {
    RegisterEntry entry = param->registers;
    entry.index = static_cast<Byte>(entry.index + index * param->registerStep);
    entry.channel = static_cast<Byte>(entry.channel + index * param->channelStep);
    return entry;
}

std::optional<ParameterRef> FindParameter(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view name = text.substr(0, dot);
    const auto* param = std::find_if(kParameters.begin(), kParameters.end(),
                                     [&](const Parameter& p) { return name == p.name; });
    if (param == kParameters.end()) {
        return std::nullopt;
    }
    if (param->count == 0) {
        return dot == std::string_view::npos ? std::optional<ParameterRef>({param, 0}) : std::nullopt;
    }
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view indexText = text.substr(dot + 1);
    int index = 0;
    const auto [end, error] = std::from_chars(indexText.data(), indexText.data() + indexText.size(), index);
    if (indexText.empty() || indexText.find_first_not_of("0123456789") != std::string_view::npos ||
        error != std::errc{} || end != indexText.data() + indexText.size() || index >= param->count) {
        return std::nullopt;
    }
    return ParameterRef{param, index};
}

std::optional<ParameterRef> ParameterAt(int position) {
    for (const Parameter& param : kParameters) {
        if (param.position == kNotStored) {
            continue;
        }
        const int count = std::max(param.count, 1);
        for (int index = 0; index < count; ++index) {
            const ParameterRef ref{&param, index};
            if (ref.Position() == position) {
                return ref;
            }
        }
    }
    return std::nullopt;
}

}  // namespace varnoth
