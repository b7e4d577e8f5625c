#include "cli/CliParameters.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "session/DeviceSession.h"

namespace varnoth {
namespace {

using Byte = std::uint8_t;

// The table rows: a single value, a value per effect, a value per graphic EQ band.
#define VARNOTH_SINGLE(Name, lo, hi)                                                                   \
    ParameterInfo {                                                                                    \
#Name, 0, lo, hi,                                                                              \
            [](const DeviceSession& s,                                                                 \
               int) -> int { return s.Get##Name(); }, [](DeviceSession & s, int,                       \
                                                         int v) { s.Set##Name(static_cast<Byte>(v)); } \
    }
#define VARNOTH_EFFECT(Name, lo, hi)                                                                         \
    ParameterInfo {                                                                                          \
#Name, 2, lo, hi,                                                                                    \
            [](const DeviceSession& s,                                                                       \
               int e) -> int { return s.Get##Name(e); }, [](DeviceSession & s, int e,                        \
                                                            int v) { s.Set##Name(e, static_cast<Byte>(v)); } \
    }
#define VARNOTH_BANDS(Name)                                                               \
    ParameterInfo {                                                                       \
#Name, 10, 50, 78,                                                                \
            [](const DeviceSession& s,                                                    \
               int b) -> int { return s.Get##Name(b); }, [](DeviceSession & s, int b,     \
                                                            int v) { s.Set##Name(b, v); } \
    }

// Raw ranges of the panel's controls: levels and times 0..127, switches 0..1 (the PEQ switch stores any
// non-zero value as 0x7F), graphic EQ bands 64 +/- 14 dB, master volumes 0..36, the preset lists' lengths.
const std::array kParameters{
    VARNOTH_SINGLE(InputGain_Mic, 0, 127),
    VARNOTH_SINGLE(InputGain_Music, 0, 127),
    VARNOTH_SINGLE(NoiseGate_Mic, 0, 127),
    VARNOTH_SINGLE(NoiseGate_Music, 0, 127),
    VARNOTH_SINGLE(ChToMainL_Mic, 0, 127),
    VARNOTH_SINGLE(ChToMainR_Mic, 0, 127),
    VARNOTH_SINGLE(ChToMainL_Music, 0, 127),
    VARNOTH_SINGLE(ChToMainR_Music, 0, 127),
    VARNOTH_SINGLE(ChToEffect1, 0, 127),
    VARNOTH_SINGLE(ChToEffect2, 0, 127),
    VARNOTH_SINGLE(CompressOn_Mic, 0, 1),
    VARNOTH_SINGLE(CompressPreset_Mic, 0, 8),
    VARNOTH_SINGLE(CompressAttackTime_Mic, 0, 127),
    VARNOTH_SINGLE(CompressReleaseTime_Mic, 0, 127),
    VARNOTH_SINGLE(CompressThreshold_Mic, 0, 127),
    VARNOTH_SINGLE(CompressRatio_Mic, 0, 127),
    VARNOTH_SINGLE(CompressBoost_Mic, 0, 127),
    VARNOTH_SINGLE(CompressOn_Music, 0, 1),
    VARNOTH_SINGLE(CompressPreset_Music, 0, 8),
    VARNOTH_SINGLE(CompressAttackTime_Music, 0, 127),
    VARNOTH_SINGLE(CompressReleaseTime_Music, 0, 127),
    VARNOTH_SINGLE(CompressThreshold_Music, 0, 127),
    VARNOTH_SINGLE(CompressRatio_Music, 0, 127),
    VARNOTH_SINGLE(CompressBoost_Music, 0, 127),
    VARNOTH_SINGLE(PEQOn_Mic, 0, 127),
    VARNOTH_SINGLE(PEQLowGain_Mic, 0, 127),
    VARNOTH_SINGLE(PEQLMidGain_Mic, 0, 127),
    VARNOTH_SINGLE(PEQHMidGain_Mic, 0, 127),
    VARNOTH_SINGLE(PEQHighGain_Mic, 0, 127),
    VARNOTH_SINGLE(PEQLowF_Mic, 0, 127),
    VARNOTH_SINGLE(PEQLMidF_Mic, 0, 127),
    VARNOTH_SINGLE(PEQHMidF_Mic, 0, 127),
    VARNOTH_SINGLE(PEQHighF_Mic, 0, 127),
    VARNOTH_SINGLE(PEQLMidQ_Mic, 0, 127),
    VARNOTH_SINGLE(PEQHMidQ_Mic, 0, 127),
    VARNOTH_SINGLE(PEQOn_Music, 0, 127),
    VARNOTH_SINGLE(PEQLowGain_Music, 0, 127),
    VARNOTH_SINGLE(PEQLMidGain_Music, 0, 127),
    VARNOTH_SINGLE(PEQHMidGain_Music, 0, 127),
    VARNOTH_SINGLE(PEQHighGain_Music, 0, 127),
    VARNOTH_SINGLE(PEQLowF_Music, 0, 127),
    VARNOTH_SINGLE(PEQLMidF_Music, 0, 127),
    VARNOTH_SINGLE(PEQHMidF_Music, 0, 127),
    VARNOTH_SINGLE(PEQHighF_Music, 0, 127),
    VARNOTH_SINGLE(PEQLMidQ_Music, 0, 127),
    VARNOTH_SINGLE(PEQHMidQ_Music, 0, 127),
    // Choosing an effect preset makes the device load it; the session reads the effect back.
    ParameterInfo{"EffectPreset", 2, 0, 27,
                  [](const DeviceSession& s, int e) -> int { return s.GetEffectPreset(e); },
                  [](DeviceSession& s, int e, int v) { s.SetEffectPre(e, static_cast<Byte>(v)); }},
    VARNOTH_EFFECT(EffectHPF, 0, 127),
    VARNOTH_EFFECT(EffectHSF, 0, 127),
    VARNOTH_EFFECT(EffectPreDelay, 0, 255),
    VARNOTH_EFFECT(EffectLevel, 0, 127),
    VARNOTH_EFFECT(EffectDelayTime, 0, 127),
    VARNOTH_EFFECT(EffectFeedback, 0, 127),
    VARNOTH_EFFECT(EffectHDamp, 0, 255),
    VARNOTH_EFFECT(EffectThreshold, 0, 255),
    VARNOTH_SINGLE(SubLevel, 0, 127),
    VARNOTH_SINGLE(SubPhase180, 0, 1),
    VARNOTH_SINGLE(SubFrequency, 0, 127),
    VARNOTH_SINGLE(SubResonance, 0, 127),
    VARNOTH_BANDS(MicGEQ),
    VARNOTH_BANDS(MusicGEQ),
    VARNOTH_BANDS(CenterGEQ),
    VARNOTH_BANDS(SubGEQ),
    VARNOTH_SINGLE(MicVol, 0, 36),
    VARNOTH_SINGLE(MusicVol, 0, 36),
    VARNOTH_SINGLE(CenterVol, 0, 36),
    VARNOTH_SINGLE(SubVol, 0, 36),
    // The mic-controls-sub setting: time 0 switches it off.
    ParameterInfo{"MicControlSubTime", 0, 0, 255,
                  [](const DeviceSession& s, int) -> int { return s.GetMicControlSubTime(); },
                  [](DeviceSession& s, int, int v) {
                      s.SetMicControlSub(static_cast<Byte>(v), s.GetMicControlSubRate());
                  }},
    ParameterInfo{"MicControlSubRate", 0, 0, 99,
                  [](const DeviceSession& s, int) -> int { return s.GetMicControlSubRate(); },
                  [](DeviceSession& s, int, int v) {
                      s.SetMicControlSub(s.GetMicControlSubTime(), static_cast<Byte>(v));
                  }},
};

#undef VARNOTH_SINGLE
#undef VARNOTH_EFFECT
#undef VARNOTH_BANDS

#define VARNOTH_MACHINE(Name, Getter, Setter, lo, hi, off)                                           \
    MachineFieldInfo {                                                                               \
#Name, lo, hi, off, [](const DeviceSession& s) -> int { return s.GetMachineSet().Getter(); },      \
            [](DeviceSession& s, int v) { s.GetMachineSet().Setter(static_cast<Byte>(v)); } \
    }

// Volumes on the master sliders' scale 0..36; a power-on volume may be off.
const std::array kMachineFields{
    VARNOTH_MACHINE(VolMode, GetVolMode, SetVolMode, 0, 1, false),
    VARNOTH_MACHINE(PowerMicVol, GetPowerMicVol, SetPowerMicVol, 0, 36, true),
    VARNOTH_MACHINE(PowerMusicVol, GetPowerMusicVol, SetPowerMusicVol, 0, 36, true),
    VARNOTH_MACHINE(MaxMicVol, GetMaxMicVol, SetMaxMicVol, 0, 36, false),
    VARNOTH_MACHINE(MaxMusicVol, GetMaxMusicVol, SetMaxMusicVol, 0, 36, false),
    VARNOTH_MACHINE(MaxCenterVol, GetMaxCenterVol, SetMaxCenterVol, 0, 36, false),
    VARNOTH_MACHINE(MaxSubVol, GetMaxSubVol, SetMaxSubVol, 0, 36, false),
    VARNOTH_MACHINE(EnableLockFunc, Get_EnableLockFunc, EnableLockFunc, 0, 1, false),
    VARNOTH_MACHINE(Lock_MicVol, Get_Lock_MicVol, Lock_MicVol, 0, 1, false),
    VARNOTH_MACHINE(Lock_MusicVol, Get_Lock_MusicVol, Lock_MusicVol, 0, 1, false),
    VARNOTH_MACHINE(Lock_MicMenu, Get_Lock_MicMenu, Lock_MicMenu, 0, 1, false),
    VARNOTH_MACHINE(Lock_MusicMenu, Get_Lock_MusicMenu, Lock_MusicMenu, 0, 1, false),
    VARNOTH_MACHINE(Lock_LoadMode, Get_Lock_LoadMode, Lock_LoadMode, 0, 1, false),
    VARNOTH_MACHINE(Lock_SaveMode, Get_Lock_SaveMode, Lock_SaveMode, 0, 1, false),
};

#undef VARNOTH_MACHINE

}  // namespace

std::span<const ParameterInfo> Parameters() {
    return kParameters;
}

std::span<const MachineFieldInfo> MachineFields() {
    return kMachineFields;
}

std::string ParameterRef::Name() const {
    return param->count == 0 ? param->name : std::string(param->name) + "." + std::to_string(index);
}

std::optional<int> ParseNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<ParameterRef> FindParameter(const std::string& text) {
    const std::size_t dot = text.find('.');
    const std::string name = text.substr(0, dot);
    const auto* param = std::find_if(kParameters.begin(), kParameters.end(),
                                     [&](const ParameterInfo& p) { return name == p.name; });
    if (param == kParameters.end()) {
        return std::nullopt;
    }
    if (param->count == 0) {
        return dot == std::string::npos ? std::optional<ParameterRef>({param, 0}) : std::nullopt;
    }
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    const std::string indexText = text.substr(dot + 1);
    const std::optional<int> index = indexText.find_first_not_of("0123456789") == std::string::npos
                                         ? ParseNumber(indexText)
                                         : std::nullopt;
    if (!index || *index >= param->count) {
        return std::nullopt;
    }
    return ParameterRef{param, *index};
}

const MachineFieldInfo* FindMachineField(const std::string& name) {
    const auto* field = std::find_if(kMachineFields.begin(), kMachineFields.end(),
                                     [&](const MachineFieldInfo& f) { return name == f.name; });
    return field == kMachineFields.end() ? nullptr : field;
}

}  // namespace varnoth
