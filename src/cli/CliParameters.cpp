// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliParameters.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "session/DeviceSession.h"
#include "session/MachineRules.h"

namespace varnoth {
namespace {

using Byte = std::uint8_t;

#define VARNOTH_MACHINE(Name, Getter, Setter, lo, hi, off)                                           \
    MachineFieldInfo {                                                                               \
#Name, lo, hi, off, [](const DeviceSession& s) -> int { return s.GetMachineSet().Getter(); },      \
            [](DeviceSession& s, int v) { s.GetMachineSet().Setter(static_cast<Byte>(v)); } \
    }
// A setting of its own byte of the record, with that byte's rule.
#define VARNOTH_MACHINE_BYTE(Name, Getter, Setter, byte)                                                \
    VARNOTH_MACHINE(Name, Getter, Setter, kMachineRecordRules[byte].min, kMachineRecordRules[byte].max, \
                    kMachineRecordRules[byte].offValue >= 0)

// The bytes of the record, then the lock bits one by one.
const std::array kMachineFields{
    VARNOTH_MACHINE_BYTE(VolMode, GetVolMode, SetVolMode, 0),
    VARNOTH_MACHINE_BYTE(PowerMicVol, GetPowerMicVol, SetPowerMicVol, 1),
    VARNOTH_MACHINE_BYTE(PowerMusicVol, GetPowerMusicVol, SetPowerMusicVol, 2),
    VARNOTH_MACHINE_BYTE(MaxMicVol, GetMaxMicVol, SetMaxMicVol, 3),
    VARNOTH_MACHINE_BYTE(MaxMusicVol, GetMaxMusicVol, SetMaxMusicVol, 4),
    VARNOTH_MACHINE_BYTE(MaxCenterVol, GetMaxCenterVol, SetMaxCenterVol, 5),
    VARNOTH_MACHINE_BYTE(MaxSubVol, GetMaxSubVol, SetMaxSubVol, 6),
    VARNOTH_MACHINE_BYTE(EnableLockFunc, Get_EnableLockFunc, EnableLockFunc, 7),
    VARNOTH_MACHINE(Lock_MicVol, Get_Lock_MicVol, Lock_MicVol, 0, 1, false),
    VARNOTH_MACHINE(Lock_MusicVol, Get_Lock_MusicVol, Lock_MusicVol, 0, 1, false),
    VARNOTH_MACHINE(Lock_MicMenu, Get_Lock_MicMenu, Lock_MicMenu, 0, 1, false),
    VARNOTH_MACHINE(Lock_MusicMenu, Get_Lock_MusicMenu, Lock_MusicMenu, 0, 1, false),
    VARNOTH_MACHINE(Lock_LoadMode, Get_Lock_LoadMode, Lock_LoadMode, 0, 1, false),
    VARNOTH_MACHINE(Lock_SaveMode, Get_Lock_SaveMode, Lock_SaveMode, 0, 1, false),
};

#undef VARNOTH_MACHINE_BYTE
#undef VARNOTH_MACHINE

}  // namespace

std::span<const MachineFieldInfo> MachineFields() {
    return kMachineFields;
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

const MachineFieldInfo* FindMachineField(const std::string& name) {
    const std::string_view bare =
        name.starts_with(kMachinePrefix) ? std::string_view(name).substr(kMachinePrefix.size()) : name;
    const auto* field = std::find_if(kMachineFields.begin(), kMachineFields.end(),
                                     [&](const MachineFieldInfo& f) { return bare == f.name; });
    return field == kMachineFields.end() ? nullptr : field;
}

}  // namespace varnoth
