// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "session/ParameterTable.h"

namespace varnoth {
class DeviceSession;
}

// The parameters the main window edits, read and written by name through the session, the way the
// window's handlers and refresh routines address them.
namespace varnoth::mainwin {

// Parameters of the two paths come in pairs, the microphone one first and its music twin right after.
enum class Param : std::uint8_t {
    InputGain_Mic,
    InputGain_Music,
    NoiseGate_Mic,
    NoiseGate_Music,
    CompressOn_Mic,
    CompressOn_Music,
    CompressPreset_Mic,
    CompressPreset_Music,
    CompressThreshold_Mic,
    CompressThreshold_Music,
    CompressRatio_Mic,
    CompressRatio_Music,
    CompressAttackTime_Mic,
    CompressAttackTime_Music,
    CompressReleaseTime_Mic,
    CompressReleaseTime_Music,
    CompressBoost_Mic,
    CompressBoost_Music,
    PEQOn_Mic,
    PEQOn_Music,
    PEQLowGain_Mic,
    PEQLowGain_Music,
    PEQLowF_Mic,
    PEQLowF_Music,
    PEQLMidGain_Mic,
    PEQLMidGain_Music,
    PEQLMidF_Mic,
    PEQLMidF_Music,
    PEQLMidQ_Mic,
    PEQLMidQ_Music,
    PEQHMidGain_Mic,
    PEQHMidGain_Music,
    PEQHMidF_Mic,
    PEQHMidF_Music,
    PEQHMidQ_Mic,
    PEQHMidQ_Music,
    PEQHighGain_Mic,
    PEQHighGain_Music,
    PEQHighF_Mic,
    PEQHighF_Music,
    // Shared by both views.
    ChToEffect1,
    ChToEffect2,
    EffectHPF_0,
    EffectHSF_0,
    EffectLevel_0,
    EffectDelayTime_0,
    EffectFeedback_0,
    EffectHPF_1,
    EffectHSF_1,
    EffectLevel_1,
    EffectDelayTime_1,
    EffectFeedback_1,
    MicControlSubTime,
    MicControlSubRate,
    SubLevel,
    SubFrequency,
    SubResonance,
    SubPhase180,
    MicVol,
    MusicVol,
    CenterVol,
    SubVol,
    Count,
};

inline constexpr int kParamCount = static_cast<int>(Param::Count);

// Whether the parameter belongs to one path (it has a twin on the other path).
bool IsPathParam(Param param);
// The parameter of the shown path: `param` itself in microphone view, its music twin in music view. Either
// twin may be given; a shared parameter is returned unchanged.
Param OnPath(Param param, bool micView);

// The parameter table's name (NAME or NAME.N), and its row (the first parameter's for Param::Count).
const char* ParamName(Param param);
const ParameterRef& Ref(Param param);

// The stored value.
std::uint8_t ReadParam(const DeviceSession& session, Param param);
// Sets the parameter as its setter does: stores it and writes it to the device. The compressor preset loads
// its row; the mic-controls-sub time and rate are sent together with the other one as stored.
void WriteParam(DeviceSession& session, Param param, std::uint8_t value);

// The compressor preset list's choice for the shown path: 0, the user-defined mode, keeps the compressor's
// values as they are and sends nothing; 1..8 load their row.
inline constexpr std::uint8_t kUserDefinedPreset = 0;
void ChooseCompressorPreset(DeviceSession& session, bool micView, std::uint8_t preset);

// The fields of parametric EQ band 0..3 on the microphone path, in the order a band edit writes them;
// bands 0 and 3 have no Q (q is Param::Count). nullptr for another band.
struct PeqBandParams {
    Param gain;
    Param freq;
    Param q;
};
const PeqBandParams* PeqBand(int band);

// The graphic EQ banks of pages 0 centre, 1 microphone, 2 music and 3 subwoofer; bands 0..9. A page or band
// outside the range reads 0 and writes nothing.
inline constexpr int kGraphicBands = 10;
std::uint8_t ReadGraphicBand(const DeviceSession& session, int page, int band);
void WriteGraphicBand(DeviceSession& session, int page, int band, std::uint8_t value);
// The parameter table's name of a page's bank (nullptr outside the range).
const char* GraphicBankName(int page);
// The parameter table's row of a band, none outside the range.
std::optional<ParameterRef> GraphicBandParameter(int page, int band);

}  // namespace varnoth::mainwin
