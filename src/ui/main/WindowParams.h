// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "session/ParameterTable.h"

namespace varnoth {
class DeviceSession;
}

// The parameters the main window shows, found by their names in the parameter table and read and written
// through the session, the way the window's handlers and refresh routines address them.
namespace varnoth::mainwin {

// The row of a name the window gives (NAME or NAME.N). The window names only rows the table has; a name it
// lacks stops the program with a message that names it.
ParameterRef Named(std::string_view name);

// The parameter of the shown path: the microphone twin in microphone view, the music twin in music view.
// Either twin may be given; a parameter of no path is returned unchanged. Twins are named alike, NAME_Mic
// and NAME_Music.
ParameterRef OnPath(const ParameterRef& parameter, bool micView);

// The stored value, as the window's controls take it.
std::uint8_t ReadValue(const DeviceSession& session, const ParameterRef& parameter);

// The compressor preset list's choice for the shown path: 0, the user-defined mode, keeps the compressor's
// values as they are and sends nothing; 1..8 load their row.
inline constexpr std::uint8_t kUserDefinedPreset = 0;
void ChooseCompressorPreset(DeviceSession& session, bool micView, std::uint8_t preset);

// The fields of parametric EQ band 0..3 on the microphone path, in the order a band edit writes them;
// bands 0 and 3 have no Q.
struct PeqBandParameters {
    ParameterRef gain;
    ParameterRef freq;
    std::optional<ParameterRef> q;
};
// nullptr for another band.
const PeqBandParameters* PeqBand(int band);

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
