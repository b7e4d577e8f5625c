// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ParameterTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "session/ValueFormat.h"

namespace varnoth {
namespace {

using Byte = std::uint8_t;

constexpr Byte kFlat = 0x40;
constexpr Byte kPeqOn = 0x7F;

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

using Shown = std::string (*)(Byte, int, int);
using G = ParamGroup;
using A = ParamAccess;

// A value of one path, shown in the channel strip; each is written by the whole-set write.
constexpr Parameter OnPath(const char* name, int position, RegisterEntry registers, int lo, int hi,
                           Shown shown, Bilingual title, ParamPath path, G group = G::Channel,
                           bool inWriteAll = true, A access = A::Register) {
    return {name, 0, position, 0, registers, 0, 0, lo, hi, shown, title, group, path, access, inWriteAll};
}
constexpr Parameter Mic(const char* name, int position, RegisterEntry registers, int lo, int hi, Shown shown,
                        Bilingual title, G group = G::Channel, bool inWriteAll = true,
                        A access = A::Register) {
    return OnPath(name, position, registers, lo, hi, shown, title, ParamPath::Mic, group, inWriteAll, access);
}
constexpr Parameter Music(const char* name, int position, RegisterEntry registers, int lo, int hi,
                          Shown shown, Bilingual title, G group = G::Channel, bool inWriteAll = true,
                          A access = A::Register) {
    return OnPath(name, position, registers, lo, hi, shown, title, ParamPath::Music, group, inWriteAll,
                  access);
}
// A value shared by both paths.
constexpr Parameter Shared(const char* name, int position, RegisterEntry registers, int lo, int hi,
                           Shown shown, Bilingual title, G group, bool inWriteAll = true) {
    return OnPath(name, position, registers, lo, hi, shown, title, ParamPath::None, group, inWriteAll);
}
// A value per effect: store rows 9 apart, channel 0 or 1. Group Effect1 stands for the index's effect.
constexpr Parameter Effect(const char* name, int field, int lo, int hi, Shown shown, Bilingual title,
                           G group = G::Effect1, A access = A::Register) {
    return {.name = name,
            .count = 2,
            .position = pos::Effect1 + field,
            .positionStep = pos::kEffectParams,
            .registers = Mono(3, static_cast<Byte>(field), 0),
            .registerStep = 0,
            .channelStep = 1,
            .min = lo,
            .max = hi,
            .shown = shown,
            .title = title,
            .group = group,
            .path = ParamPath::None,
            .access = access,
            .inWriteAll = true};
}
// A value per graphic EQ band: consecutive positions and register indexes, 64 +/- 14 dB.
constexpr Parameter Bands(const char* name, int position, RegisterEntry registers, Bilingual title) {
    return {.name = name,
            .count = pos::kBands,
            .position = position,
            .positionStep = 1,
            .registers = registers,
            .registerStep = 1,
            .channelStep = 0,
            .min = 50,
            .max = 78,
            .shown = GeqGain,
            .title = title,
            .group = G::GraphicEq,
            .path = ParamPath::None,
            .access = A::Register,
            .inWriteAll = true};
}
// A master volume: 0..36, written as value + 40, not part of a mode or the whole-set write.
constexpr Parameter Volume(const char* name, int position, RegisterEntry registers, Bilingual title) {
    return Shared(name, position, registers, 0, 36, Raw, title, G::Volumes, false);
}
// The mic-controls-sub setting travels as one report of time and rate; time 0 switches it off.
constexpr Parameter MicControlSub(const char* name, int hi, Shown shown, Bilingual title, A access) {
    return {name, 0,     kNotStored, 0,          StoredOnly(),    0,      0,    0,
            hi,   shown, title,      G::AutoSub, ParamPath::None, access, false};
}

constexpr int kMic = pos::Compress_Mic;
constexpr int kMusic = pos::Compress_Music;
constexpr int kPeqMic = pos::PEQ_Mic;
constexpr int kPeqMusic = pos::PEQ_Music;

// Raw ranges of the panel's controls: levels and times 0..127, switches 0..1 (the PEQ switch stores any
// non-zero value as 0x7F), graphic EQ bands 64 +/- 14 dB, master volumes 0..36, the preset lists' lengths.
// clang-format off
constexpr std::array kParameters{
    Mic("InputGain_Mic", pos::InputGain_Mic, Stereo(8, 4, 0), 0, 127, Raw, {"话筒增益", "mic gain"}),
    Music("InputGain_Music", pos::InputGain_Music, Stereo(8, 4, 2), 0, 127, Raw, {"音乐增益", "music gain"}),
    Mic("NoiseGate_Mic", pos::NoiseGate_Mic, Stereo(8, 5, 0), 0, 127, Raw, {"话筒噪声门", "mic noise gate"}),
    Music("NoiseGate_Music", pos::NoiseGate_Music, Stereo(8, 5, 2), 0, 127, Raw, {"音乐噪声门", "music noise gate"}),
    Mic("ChToMainL_Mic", pos::ChToMainL_Mic, Stereo(8, 6, 0), 0, 127, Raw, {"话筒至主左", "mic to main L"}, G::Hidden, false),
    Mic("ChToMainR_Mic", pos::ChToMainR_Mic, Stereo(8, 7, 0), 0, 127, Raw, {"话筒至主右", "mic to main R"}, G::Hidden, false),
    Music("ChToMainL_Music", pos::ChToMainL_Music, Stereo(8, 6, 2), 0, 127, Raw, {"音乐至主左", "music to main L"}, G::Hidden, false),
    Music("ChToMainR_Music", pos::ChToMainR_Music, Stereo(8, 7, 2), 0, 127, Raw, {"音乐至主右", "music to main R"}, G::Hidden, false),
    Shared("ChToEffect1", pos::ChToEffect1, Stereo(8, 8, 0), 0, 127, Raw, {"效果一音量", "effect 1 volume"}, G::Effect1),
    Shared("ChToEffect2", pos::ChToEffect2, Stereo(8, 9, 0), 0, 127, Raw, {"效果二音量", "effect 2 volume"}, G::Effect2),
    Mic("CompressOn_Mic", kMic + pos::CompressOn, Stereo(5, 0, 0), 0, 1, Switch, {"话筒压限", "mic compressor"}),
    Mic("CompressPreset_Mic", kMic + pos::CompressPreset, StoredOnly(), 0, 8, Raw, {"话筒压限预设", "mic compressor preset"}, G::Channel, false, A::CompressorPreset),
    Mic("CompressAttackTime_Mic", kMic + pos::CompressAttackTime, Stereo(5, 1, 0), 0, 127, Attack, {"话筒起始时间", "mic attack"}),
    Mic("CompressReleaseTime_Mic", kMic + pos::CompressReleaseTime, Stereo(5, 2, 0), 0, 127, Release, {"话筒释放时间", "mic release"}),
    Mic("CompressThreshold_Mic", kMic + pos::CompressThreshold, Stereo(5, 3, 0), 0, 127, Threshold, {"话筒门限", "mic threshold"}),
    Mic("CompressRatio_Mic", kMic + pos::CompressRatio, Stereo(5, 4, 0), 0, 127, Ratio, {"话筒比率", "mic ratio"}),
    Mic("CompressBoost_Mic", kMic + pos::CompressBoost, Stereo(5, 5, 0), 0, 127, Boost, {"话筒激励", "mic boost"}),
    Music("CompressOn_Music", kMusic + pos::CompressOn, Stereo(5, 0, 2), 0, 1, Switch, {"音乐压限", "music compressor"}),
    Music("CompressPreset_Music", kMusic + pos::CompressPreset, StoredOnly(), 0, 8, Raw, {"音乐压限预设", "music compressor preset"}, G::Channel, false, A::CompressorPreset),
    Music("CompressAttackTime_Music", kMusic + pos::CompressAttackTime, Stereo(5, 1, 2), 0, 127, Attack, {"音乐起始时间", "music attack"}),
    Music("CompressReleaseTime_Music", kMusic + pos::CompressReleaseTime, Stereo(5, 2, 2), 0, 127, Release, {"音乐释放时间", "music release"}),
    Music("CompressThreshold_Music", kMusic + pos::CompressThreshold, Stereo(5, 3, 2), 0, 127, Threshold, {"音乐门限", "music threshold"}),
    Music("CompressRatio_Music", kMusic + pos::CompressRatio, Stereo(5, 4, 2), 0, 127, Ratio, {"音乐比率", "music ratio"}),
    Music("CompressBoost_Music", kMusic + pos::CompressBoost, Stereo(5, 5, 2), 0, 127, Boost, {"音乐激励", "music boost"}),
    Mic("PEQOn_Mic", kPeqMic + pos::PEQOn, Stereo(9, 0, 0, kFlat, ValueRule::PeqSwitch), 0, 127, Switch, {"话筒参量均衡", "mic PEQ"}),
    Mic("PEQLowGain_Mic", kPeqMic + pos::PEQLowGain, Stereo(9, 4, 0, kFlat), 0, 127, PeqGain, {"话筒低频增益", "mic PEQ low gain"}),
    Mic("PEQLMidGain_Mic", kPeqMic + pos::PEQLMidGain, Stereo(9, 5, 0, kFlat), 0, 127, PeqGain, {"话筒中低频增益", "mic PEQ low-mid gain"}),
    Mic("PEQHMidGain_Mic", kPeqMic + pos::PEQHMidGain, Stereo(9, 6, 0, kFlat), 0, 127, PeqGain, {"话筒中高频增益", "mic PEQ high-mid gain"}),
    Mic("PEQHighGain_Mic", kPeqMic + pos::PEQHighGain, Stereo(9, 7, 0, kFlat), 0, 127, PeqGain, {"话筒高频增益", "mic PEQ high gain"}),
    Mic("PEQLowF_Mic", kPeqMic + pos::PEQLowF, Stereo(9, 8, 0, kFlat), 0, 127, PeqFrequency<0>, {"话筒低频频率", "mic PEQ low frequency"}),
    Mic("PEQLMidF_Mic", kPeqMic + pos::PEQLMidF, Stereo(9, 9, 0, kFlat), 0, 127, PeqFrequency<1>, {"话筒中低频频率", "mic PEQ low-mid frequency"}),
    Mic("PEQHMidF_Mic", kPeqMic + pos::PEQHMidF, Stereo(9, 10, 0, kFlat), 0, 127, PeqFrequency<2>, {"话筒中高频频率", "mic PEQ high-mid frequency"}),
    Mic("PEQHighF_Mic", kPeqMic + pos::PEQHighF, Stereo(9, 11, 0, kFlat), 0, 127, PeqFrequency<3>, {"话筒高频频率", "mic PEQ high frequency"}),
    Mic("PEQLMidQ_Mic", kPeqMic + pos::PEQLMidQ, Stereo(9, 13, 0, kFlat), 0, 127, PeqQ, {"话筒中低频Q值", "mic PEQ low-mid Q"}),
    Mic("PEQHMidQ_Mic", kPeqMic + pos::PEQHMidQ, Stereo(9, 14, 0, kFlat), 0, 127, PeqQ, {"话筒中高频Q值", "mic PEQ high-mid Q"}),
    Music("PEQOn_Music", kPeqMusic + pos::PEQOn, Stereo(9, 0, 2, kFlat, ValueRule::PeqSwitch), 0, 127, Switch, {"音乐参量均衡", "music PEQ"}),
    Music("PEQLowGain_Music", kPeqMusic + pos::PEQLowGain, Stereo(9, 4, 2, kFlat), 0, 127, PeqGain, {"音乐低频增益", "music PEQ low gain"}),
    Music("PEQLMidGain_Music", kPeqMusic + pos::PEQLMidGain, Stereo(9, 5, 2, kFlat), 0, 127, PeqGain, {"音乐中低频增益", "music PEQ low-mid gain"}),
    Music("PEQHMidGain_Music", kPeqMusic + pos::PEQHMidGain, Stereo(9, 6, 2, kFlat), 0, 127, PeqGain, {"音乐中高频增益", "music PEQ high-mid gain"}),
    Music("PEQHighGain_Music", kPeqMusic + pos::PEQHighGain, Stereo(9, 7, 2, kFlat), 0, 127, PeqGain, {"音乐高频增益", "music PEQ high gain"}),
    Music("PEQLowF_Music", kPeqMusic + pos::PEQLowF, Stereo(9, 8, 2, kFlat), 0, 127, PeqFrequency<0>, {"音乐低频频率", "music PEQ low frequency"}),
    Music("PEQLMidF_Music", kPeqMusic + pos::PEQLMidF, Stereo(9, 9, 2, kFlat), 0, 127, PeqFrequency<1>, {"音乐中低频频率", "music PEQ low-mid frequency"}),
    Music("PEQHMidF_Music", kPeqMusic + pos::PEQHMidF, Stereo(9, 10, 2, kFlat), 0, 127, PeqFrequency<2>, {"音乐中高频频率", "music PEQ high-mid frequency"}),
    Music("PEQHighF_Music", kPeqMusic + pos::PEQHighF, Stereo(9, 11, 2, kFlat), 0, 127, PeqFrequency<3>, {"音乐高频频率", "music PEQ high frequency"}),
    Music("PEQLMidQ_Music", kPeqMusic + pos::PEQLMidQ, Stereo(9, 13, 2, kFlat), 0, 127, PeqQ, {"音乐中低频Q值", "music PEQ low-mid Q"}),
    Music("PEQHMidQ_Music", kPeqMusic + pos::PEQHMidQ, Stereo(9, 14, 2, kFlat), 0, 127, PeqQ, {"音乐中高频Q值", "music PEQ high-mid Q"}),
    Effect("EffectPreset", pos::EffectPreset, 0, 27, Raw, {"预设", "preset"}, G::Hidden, A::EffectPreset),
    Effect("EffectHPF", pos::EffectHPF, 0, 127, EffectHpf, {"高通", "HPF"}),
    Effect("EffectHSF", pos::EffectHSF, 0, 127, EffectHsf, {"高架", "HSF"}),
    Effect("EffectPreDelay", pos::EffectPreDelay, 0, 255, Raw, {"预延时", "pre-delay"}, G::Hidden),
    Effect("EffectLevel", pos::EffectLevel, 0, 127, EffectLevel, {"电平", "level"}),
    Effect("EffectDelayTime", pos::EffectDelayTime, 0, 127, EffectDelay, {"延时", "delay"}),
    Effect("EffectFeedback", pos::EffectFeedback, 0, 127, EffectFeedback, {"反馈", "feedback"}),
    Effect("EffectHDamp", pos::EffectHDamp, 0, 255, Raw, {"高频阻尼", "HF damping"}, G::Hidden),
    Effect("EffectThreshold", pos::EffectThreshold, 0, 255, Raw, {"门限", "threshold"}, G::Hidden),
    Shared("SubLevel", pos::SubLevel, Mono(11, 4, 0), 0, 127, Raw, {"超低电平", "sub level"}, G::Subwoofer),
    Shared("SubPhase180", pos::SubPhase180, Mono(11, 5, 0, 0, ValueRule::SubPhase), 0, 1, Switch, {"超低相位180°", "sub phase 180°"}, G::Subwoofer),
    Shared("SubFrequency", pos::SubFrequency, Mono(11, 6, 0), 0, 127, SubFrequency, {"超低频率", "sub frequency"}, G::Subwoofer),
    Shared("SubResonance", pos::SubResonance, Mono(11, 7, 0), 0, 127, Raw, {"超低共振", "sub resonance"}, G::Subwoofer),
    Bands("MicGEQ", pos::MicGEQ, Stereo(10, 0, 0, kFlat), {"话筒均衡", "mic EQ"}),
    Bands("MusicGEQ", pos::MusicGEQ, Stereo(10, 0, 2, kFlat), {"音乐均衡", "music EQ"}),
    Bands("CenterGEQ", pos::CenterGEQ, Mono(10, 0, 4, kFlat), {"中置均衡", "center EQ"}),
    Bands("SubGEQ", pos::SubGEQ, Mono(10, 0, 5, kFlat), {"超低均衡", "sub EQ"}),
    Volume("MicVol", pos::MicVol, Stereo(10, 32, 0, 0, ValueRule::Volume), {"话筒音量", "mic volume"}),
    Volume("MusicVol", pos::MusicVol, Stereo(10, 32, 2, 0, ValueRule::Volume), {"音乐音量", "music volume"}),
    Volume("CenterVol", pos::CenterVol, Mono(10, 32, 4, 0, ValueRule::Volume), {"中置音量", "center volume"}),
    Volume("SubVol", pos::SubVol, Mono(10, 32, 5, 0, ValueRule::Volume), {"超低音量", "sub volume"}),
    MicControlSub("MicControlSubTime", 255, MicSubTime, {"超低恢复时间", "auto sub restore time"}, A::MicControlSubTime),
    MicControlSub("MicControlSubRate", 99, MicSubRate, {"超低比率", "auto sub rate"}, A::MicControlSubRate),
};
// clang-format on

// The panel's labels where they are not the title: a row missing here is labelled by its title.
constexpr ParameterCaption kCaptions[] = {
    {"InputGain_Mic", {"增益", "Gain"}},
    {"InputGain_Music", {"增益", "Gain"}},
    {"NoiseGate_Mic", {"噪声门", "Gate"}},
    {"NoiseGate_Music", {"噪声门", "Gate"}},
    {"ChToEffect1", {"效果音量", "EFX VOL"}},
    {"ChToEffect2", {"效果音量", "EFX VOL"}},
    {"CompressAttackTime_Mic", {"起始时间", "Attack T."}},
    {"CompressAttackTime_Music", {"起始时间", "Attack T."}},
    {"CompressReleaseTime_Mic", {"释放时间", "Release T."}},
    {"CompressReleaseTime_Music", {"释放时间", "Release T."}},
    {"CompressThreshold_Mic", {"门", "Threshold"}},
    {"CompressThreshold_Music", {"门", "Threshold"}},
    {"CompressRatio_Mic", {"比率", "Ratio"}},
    {"CompressRatio_Music", {"比率", "Ratio"}},
    {"CompressBoost_Mic", {"激励", "Boost"}},
    {"CompressBoost_Music", {"激励", "Boost"}},
    {"EffectLevel", {"电平", "Level"}},
    {"EffectDelayTime", {"延时", "Delay"}},
    {"EffectFeedback", {"反馈", "Feedback"}},
    {"SubLevel", {"超低电平", "Level"}},
    {"SubFrequency", {"超低频率", "Frequency"}},
    {"SubResonance", {"回响/共振", "Res."}},
    {"MicVol", {"话筒音量", "MIC"}},
    {"MusicVol", {"音乐音量", "MUSIC"}},
    {"CenterVol", {"中置音量", "CENTER"}},
    {"SubVol", {"超低音量", "SUB"}},
    {"MicControlSubTime", {"恢复时间", "Restore T."}},
    {"MicControlSubRate", {"超低比率", "Rate"}},
};

// The amplifier's order where it is not the table's: the write sends the subwoofer last, its frequency before
// its phase; the read asks for the master volumes, the graphic EQ bands, then the subwoofer's registers from
// index 1 on (1..3 are kept by no row).
constexpr WholeSetStep kWriteAllLast[] = {{"SubLevel"}, {"SubFrequency"}, {"SubPhase180"}, {"SubResonance"}};
constexpr WholeSetStep kReadAllLast[] = {{"MicVol"}, {"MicGEQ"}, {nullptr, 11, 1, 7}};

}  // namespace

std::span<const Parameter> ParameterTable() {
    return kParameters;
}

std::span<const WholeSetStep> WriteAllLastSteps() {
    return kWriteAllLast;
}

std::span<const WholeSetStep> ReadAllLastSteps() {
    return kReadAllLast;
}

std::string ParameterRef::Name() const {
    return param->count == 0 ? param->name : std::string(param->name) + "." + std::to_string(index);
}

std::string ParameterRef::Title(int language) const {
    static constexpr Bilingual kEffect[2] = {{"效果一", "effect 1"}, {"效果二", "effect 2"}};
    static constexpr Bilingual kBand{"频段", "band"};
    const std::string title = param->title.In(language);
    const bool english = language != 0;
    if (param->count == 2) {
        return std::string(kEffect[index].In(language)) + (english ? " " : "") + title;
    }
    if (param->count > 2) {
        return title + " " + kBand.In(language) + (english ? " " : "") + std::to_string(index + 1);
    }
    return title;
}

const char* ParameterRef::Caption(int language) const {
    const auto* row =
        std::find_if(std::begin(kCaptions), std::end(kCaptions),
                     [this](const ParameterCaption& c) { return std::strcmp(c.name, param->name) == 0; });
    return row == std::end(kCaptions) ? param->title.In(language) : row->caption.In(language);
}

std::span<const ParameterCaption> ParameterCaptions() {
    return kCaptions;
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

std::uint8_t ParameterRef::Stored(int value) const {
    switch (param->registers.rule) {
        case ValueRule::PeqSwitch:
            return value != 0 ? kPeqOn : 0;
        case ValueRule::SubPhase:
            return value != 0 ? 1 : 0;
        case ValueRule::Plain:
        case ValueRule::Volume:
            break;
    }
    return static_cast<Byte>(value & 0xFF);
}

ParamGroup ParameterRef::Group() const {
    if (param->group == ParamGroup::Effect1 && param->count == 2) {
        return index == 0 ? ParamGroup::Effect1 : ParamGroup::Effect2;
    }
    return param->group;
}

std::span<const ParameterRef> AllParameters() {
    static const std::vector<ParameterRef> refs = [] {
        std::vector<ParameterRef> all;
        for (const Parameter& param : kParameters) {
            for (int index = 0; index < std::max(param.count, 1); ++index) {
                all.push_back({&param, index});
            }
        }
        return all;
    }();
    return refs;
}

std::optional<ParameterRef> ParameterAt(int position) {
    static const std::array<std::optional<ParameterRef>, kStoreSize> at = [] {
        std::array<std::optional<ParameterRef>, kStoreSize> found{};
        for (const ParameterRef& ref : AllParameters()) {
            if (ref.Position() != kNotStored) {
                found[static_cast<std::size_t>(ref.Position())] = ref;
            }
        }
        return found;
    }();
    if (position < 0 || position >= static_cast<int>(kStoreSize)) {
        return std::nullopt;
    }
    return at[static_cast<std::size_t>(position)];
}

}  // namespace varnoth
