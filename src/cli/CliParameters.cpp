#include "cli/CliParameters.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "session/DeviceSession.h"

namespace varnoth {
namespace {

using Byte = std::uint8_t;

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
    const auto* field = std::find_if(kMachineFields.begin(), kMachineFields.end(),
                                     [&](const MachineFieldInfo& f) { return name == f.name; });
    return field == kMachineFields.end() ? nullptr : field;
}

}  // namespace varnoth
