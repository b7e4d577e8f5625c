// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowParams.h"

#include <array>
#include <string>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/ParameterTable.h"

namespace varnoth::mainwin {

namespace {

// The table name of each parameter, in enum order.
constexpr const char* kParamNames[] = {
    "InputGain_Mic",
    "InputGain_Music",
    "NoiseGate_Mic",
    "NoiseGate_Music",
    "CompressOn_Mic",
    "CompressOn_Music",
    "CompressPreset_Mic",
    "CompressPreset_Music",
    "CompressThreshold_Mic",
    "CompressThreshold_Music",
    "CompressRatio_Mic",
    "CompressRatio_Music",
    "CompressAttackTime_Mic",
    "CompressAttackTime_Music",
    "CompressReleaseTime_Mic",
    "CompressReleaseTime_Music",
    "CompressBoost_Mic",
    "CompressBoost_Music",
    "PEQOn_Mic",
    "PEQOn_Music",
    "PEQLowGain_Mic",
    "PEQLowGain_Music",
    "PEQLowF_Mic",
    "PEQLowF_Music",
    "PEQLMidGain_Mic",
    "PEQLMidGain_Music",
    "PEQLMidF_Mic",
    "PEQLMidF_Music",
    "PEQLMidQ_Mic",
    "PEQLMidQ_Music",
    "PEQHMidGain_Mic",
    "PEQHMidGain_Music",
    "PEQHMidF_Mic",
    "PEQHMidF_Music",
    "PEQHMidQ_Mic",
    "PEQHMidQ_Music",
    "PEQHighGain_Mic",
    "PEQHighGain_Music",
    "PEQHighF_Mic",
    "PEQHighF_Music",
    "ChToEffect1",
    "ChToEffect2",
    "EffectHPF.0",
    "EffectHSF.0",
    "EffectLevel.0",
    "EffectDelayTime.0",
    "EffectFeedback.0",
    "EffectHPF.1",
    "EffectHSF.1",
    "EffectLevel.1",
    "EffectDelayTime.1",
    "EffectFeedback.1",
    "MicControlSubTime",
    "MicControlSubRate",
    "SubLevel",
    "SubFrequency",
    "SubResonance",
    "SubPhase180",
    "MicVol",
    "MusicVol",
    "CenterVol",
    "SubVol",
};
static_assert(std::size(kParamNames) == kParamCount, "one name per parameter, in enum order");

// The table rows, looked up once.
const std::array<ParameterRef, kParamCount>& Refs() {
    static const std::array<ParameterRef, kParamCount> refs = [] {
        std::array<ParameterRef, kParamCount> found{};
        for (int i = 0; i < kParamCount; ++i) {
            found[i] = *FindParameter(kParamNames[i]);
        }
        return found;
    }();
    return refs;
}

constexpr int kFirstShared = static_cast<int>(Param::ChToEffect1);

constexpr PeqBandParams kPeqBands[] = {
    {Param::PEQLowGain_Mic, Param::PEQLowF_Mic, Param::Count},
    {Param::PEQLMidGain_Mic, Param::PEQLMidF_Mic, Param::PEQLMidQ_Mic},
    {Param::PEQHMidGain_Mic, Param::PEQHMidF_Mic, Param::PEQHMidQ_Mic},
    {Param::PEQHighGain_Mic, Param::PEQHighF_Mic, Param::Count},
};

// The parameter table's bank of each graphic EQ page.
constexpr const char* kGraphicBanks[] = {"CenterGEQ", "MicGEQ", "MusicGEQ", "SubGEQ"};

// The band's row in the parameter table.
ParameterRef GraphicBand(int page, int band) {
    static const std::array<const Parameter*, std::size(kGraphicBanks)> banks = [] {
        std::array<const Parameter*, std::size(kGraphicBanks)> found{};
        for (std::size_t i = 0; i < found.size(); ++i) {
            found[i] = FindParameter(std::string(kGraphicBanks[i]) + ".0")->param;
        }
        return found;
    }();
    return {banks[static_cast<std::size_t>(page)], band};
}

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

const ParameterRef& Ref(Param param) {
    return Refs()[static_cast<int>(param) < kParamCount ? static_cast<int>(param) : 0];
}

const char* ParamName(Param param) {
    return param < Param::Count ? kParamNames[static_cast<int>(param)] : "none";
}

std::uint8_t ReadParam(const DeviceSession& session, Param param) {
    if (param >= Param::Count) {
        return 0;
    }
    return static_cast<std::uint8_t>(ReadParameter(session, Ref(param)));
}

void WriteParam(DeviceSession& session, Param param, std::uint8_t value) {
    if (param < Param::Count) {
        WriteParameter(session, Ref(param), value);
    }
}

void ChooseCompressorPreset(DeviceSession& session, bool micView, std::uint8_t preset) {
    if (preset == kUserDefinedPreset) {
        session.Store().StoreValue(
            static_cast<std::size_t>(Ref(OnPath(Param::CompressPreset_Mic, micView)).Position()), preset);
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
    return static_cast<std::uint8_t>(ReadParameter(session, GraphicBand(page, band)));
}

void WriteGraphicBand(DeviceSession& session, int page, int band, std::uint8_t value) {
    if (ValidBand(page, band)) {
        WriteParameter(session, GraphicBand(page, band), value);
    }
}

const char* GraphicBankName(int page) {
    return page >= 0 && page < static_cast<int>(std::size(kGraphicBanks)) ? kGraphicBanks[page] : nullptr;
}

std::optional<ParameterRef> GraphicBandParameter(int page, int band) {
    if (!ValidBand(page, band)) {
        return std::nullopt;
    }
    return GraphicBand(page, band);
}

}  // namespace varnoth::mainwin
