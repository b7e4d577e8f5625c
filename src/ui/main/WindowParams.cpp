#include "ui/main/WindowParams.h"

#include <array>

#include "session/DeviceSession.h"

namespace varnoth::mainwin {

namespace {

struct ParamAccess {
    Param param;
    const char* name;
    std::uint8_t (*read)(const DeviceSession&);
    void (*write)(DeviceSession&, std::uint8_t);
};

// A parameter with a plain getter and setter pair.
#define VARNOTH_PARAM(name)                                                                                  \
    ParamAccess {                                                                                            \
        Param::name, #name,                                                                                  \
            [](const DeviceSession& s) -> std::uint8_t { return static_cast<std::uint8_t>(s.Get##name()); }, \
            [](DeviceSession& s, std::uint8_t v) { s.Set##name(v); }                                         \
    }
// An effect parameter of effect 0 or 1.
#define VARNOTH_EFFECT_PARAM(name, effect)                                              \
    ParamAccess {                                                                       \
        Param::name##_##effect, #name "_" #effect,                                      \
            [](const DeviceSession& s) -> std::uint8_t { return s.Get##name(effect); }, \
            [](DeviceSession& s, std::uint8_t v) { s.Set##name(effect, v); }            \
    }

constexpr ParamAccess kParams[] = {
    VARNOTH_PARAM(InputGain_Mic),
    VARNOTH_PARAM(InputGain_Music),
    VARNOTH_PARAM(NoiseGate_Mic),
    VARNOTH_PARAM(NoiseGate_Music),
    VARNOTH_PARAM(CompressOn_Mic),
    VARNOTH_PARAM(CompressOn_Music),
    VARNOTH_PARAM(CompressPreset_Mic),
    VARNOTH_PARAM(CompressPreset_Music),
    VARNOTH_PARAM(CompressThreshold_Mic),
    VARNOTH_PARAM(CompressThreshold_Music),
    VARNOTH_PARAM(CompressRatio_Mic),
    VARNOTH_PARAM(CompressRatio_Music),
    VARNOTH_PARAM(CompressAttackTime_Mic),
    VARNOTH_PARAM(CompressAttackTime_Music),
    VARNOTH_PARAM(CompressReleaseTime_Mic),
    VARNOTH_PARAM(CompressReleaseTime_Music),
    VARNOTH_PARAM(CompressBoost_Mic),
    VARNOTH_PARAM(CompressBoost_Music),
    VARNOTH_PARAM(PEQOn_Mic),
    VARNOTH_PARAM(PEQOn_Music),
    VARNOTH_PARAM(PEQLowGain_Mic),
    VARNOTH_PARAM(PEQLowGain_Music),
    VARNOTH_PARAM(PEQLowF_Mic),
    VARNOTH_PARAM(PEQLowF_Music),
    VARNOTH_PARAM(PEQLMidGain_Mic),
    VARNOTH_PARAM(PEQLMidGain_Music),
    VARNOTH_PARAM(PEQLMidF_Mic),
    VARNOTH_PARAM(PEQLMidF_Music),
    VARNOTH_PARAM(PEQLMidQ_Mic),
    VARNOTH_PARAM(PEQLMidQ_Music),
    VARNOTH_PARAM(PEQHMidGain_Mic),
    VARNOTH_PARAM(PEQHMidGain_Music),
    VARNOTH_PARAM(PEQHMidF_Mic),
    VARNOTH_PARAM(PEQHMidF_Music),
    VARNOTH_PARAM(PEQHMidQ_Mic),
    VARNOTH_PARAM(PEQHMidQ_Music),
    VARNOTH_PARAM(PEQHighGain_Mic),
    VARNOTH_PARAM(PEQHighGain_Music),
    VARNOTH_PARAM(PEQHighF_Mic),
    VARNOTH_PARAM(PEQHighF_Music),
    VARNOTH_PARAM(ChToEffect1),
    VARNOTH_PARAM(ChToEffect2),
    VARNOTH_EFFECT_PARAM(EffectHPF, 0),
    VARNOTH_EFFECT_PARAM(EffectHSF, 0),
    VARNOTH_EFFECT_PARAM(EffectLevel, 0),
    VARNOTH_EFFECT_PARAM(EffectDelayTime, 0),
    VARNOTH_EFFECT_PARAM(EffectFeedback, 0),
    VARNOTH_EFFECT_PARAM(EffectHPF, 1),
    VARNOTH_EFFECT_PARAM(EffectHSF, 1),
    VARNOTH_EFFECT_PARAM(EffectLevel, 1),
    VARNOTH_EFFECT_PARAM(EffectDelayTime, 1),
    VARNOTH_EFFECT_PARAM(EffectFeedback, 1),
    // The time and the rate of mic-controls-sub travel together.
    ParamAccess{Param::MicControlSubTime, "MicControlSubTime",
                [](const DeviceSession& s) { return s.GetMicControlSubTime(); },
                [](DeviceSession& s, std::uint8_t v) { s.SetMicControlSub(v, s.GetMicControlSubRate()); }},
    ParamAccess{Param::MicControlSubRate, "MicControlSubRate",
                [](const DeviceSession& s) { return s.GetMicControlSubRate(); },
                [](DeviceSession& s, std::uint8_t v) { s.SetMicControlSub(s.GetMicControlSubTime(), v); }},
    VARNOTH_PARAM(SubLevel),
    VARNOTH_PARAM(SubFrequency),
    VARNOTH_PARAM(SubResonance),
    VARNOTH_PARAM(SubPhase180),
    VARNOTH_PARAM(MicVol),
    VARNOTH_PARAM(MusicVol),
    VARNOTH_PARAM(CenterVol),
    VARNOTH_PARAM(SubVol),
};

#undef VARNOTH_PARAM
#undef VARNOTH_EFFECT_PARAM

constexpr bool InEnumOrder() {
    for (int i = 0; i < kParamCount; ++i) {
        if (static_cast<int>(kParams[i].param) != i) {
            return false;
        }
    }
    return true;
}
static_assert(std::size(kParams) == kParamCount && InEnumOrder(), "one row per parameter, in enum order");

constexpr int kFirstShared = static_cast<int>(Param::ChToEffect1);

const ParamAccess& Access(Param param) {
    return kParams[static_cast<int>(param)];
}

constexpr PeqBandParams kPeqBands[] = {
    {Param::PEQLowGain_Mic, Param::PEQLowF_Mic, Param::Count},
    {Param::PEQLMidGain_Mic, Param::PEQLMidF_Mic, Param::PEQLMidQ_Mic},
    {Param::PEQHMidGain_Mic, Param::PEQHMidF_Mic, Param::PEQHMidQ_Mic},
    {Param::PEQHighGain_Mic, Param::PEQHighF_Mic, Param::Count},
};

struct GraphicBank {
    std::uint8_t (ParameterStore::*read)(int) const;
    void (ParameterStore::*write)(int, int);
};

constexpr GraphicBank kGraphicBanks[] = {
    {&ParameterStore::GetCenterGEQ, &ParameterStore::SetCenterGEQ},
    {&ParameterStore::GetMicGEQ, &ParameterStore::SetMicGEQ},
    {&ParameterStore::GetMusicGEQ, &ParameterStore::SetMusicGEQ},
    {&ParameterStore::GetSubGEQ, &ParameterStore::SetSubGEQ},
};

bool ValidBand(int page, int band) {
    return page >= 0 && page < static_cast<int>(std::size(kGraphicBanks)) && band >= 0 &&
           band < kGraphicBands;
}

}  // namespace

bool IsPathParam(Param param) {
    return static_cast<int>(param) < kFirstShared;
}

Param OnPath(Param param, bool micView) {
    if (!IsPathParam(param)) {
        return param;
    }
    const int mic = static_cast<int>(param) & ~1;
    return static_cast<Param>(micView ? mic : mic + 1);
}

const char* ParamName(Param param) {
    return param < Param::Count ? Access(param).name : "none";
}

std::uint8_t ReadParam(const DeviceSession& session, Param param) {
    return param < Param::Count ? Access(param).read(session) : 0;
}

void WriteParam(DeviceSession& session, Param param, std::uint8_t value) {
    if (param < Param::Count) {
        Access(param).write(session, value);
    }
}

void ChooseCompressorPreset(DeviceSession& session, bool micView, std::uint8_t preset) {
    if (preset == kUserDefinedPreset) {
        if (micView) {
            session.StoreCompressPreset_Mic(preset);
        } else {
            session.StoreCompressPreset_Music(preset);
        }
        return;
    }
    WriteParam(session, OnPath(Param::CompressPreset_Mic, micView), preset);
}

const PeqBandParams* PeqBand(int band) {
    return band >= 0 && band < static_cast<int>(std::size(kPeqBands)) ? &kPeqBands[band] : nullptr;
}

std::uint8_t ReadGraphicBand(const DeviceSession& session, int page, int band) {
    if (!ValidBand(page, band)) {
        return 0;
    }
    return (session.*kGraphicBanks[page].read)(band);
}

void WriteGraphicBand(DeviceSession& session, int page, int band, std::uint8_t value) {
    if (ValidBand(page, band)) {
        (session.*kGraphicBanks[page].write)(band, value);
    }
}

}  // namespace varnoth::mainwin
