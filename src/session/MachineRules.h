// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnoth {

class MachineSettings;

// A text in the program's two languages; language 0 is Chinese, anything else English.
struct BilingualText {
    std::string chinese;
    std::string english;

    const std::string& In(int language) const { return language == 0 ? chinese : english; }
};

// The values a machine-settings byte may hold, as the settings dialog produces them. offValue, when not
// negative, is one more value outside min..max with a meaning of its own (a power-on volume switched off).
struct MachineByteRule {
    const char* name;
    int min;
    int max;
    int offValue;

    bool Allows(int value) const { return (value >= min && value <= max) || value == offValue; }
};

inline constexpr int kMaxVolumeStep = 36;
inline constexpr int kPowerVolumeOff = 0xFF;
inline constexpr int kNoOffValue = -1;

// Rules of bytes 0..8 of the machine record, in record order; the reserved pair (9..10) has none.
inline constexpr std::array<MachineByteRule, 9> kMachineRecordRules{{
    {"VolMode", 0, 1, kNoOffValue},
    {"PowerMicVol", 0, kMaxVolumeStep, kPowerVolumeOff},
    {"PowerMusicVol", 0, kMaxVolumeStep, kPowerVolumeOff},
    {"MaxMicVol", 0, kMaxVolumeStep, kNoOffValue},
    {"MaxMusicVol", 0, kMaxVolumeStep, kNoOffValue},
    {"MaxCenterVol", 0, kMaxVolumeStep, kNoOffValue},
    {"MaxSubVol", 0, kMaxVolumeStep, kNoOffValue},
    {"EnableLockFunc", 0, 1, kNoOffValue},
    // One bit per lock of the six; bits 6 and 7 stay clear.
    {"LockBits", 0, 0x3F, kNoOffValue},
}};

// The panel's limits on the master volumes and the memory modes, from the saved machine settings: a master
// volume above its maximum cannot be set, a locked volume cannot be changed, and locked memory modes can be
// neither loaded nor saved. Each gives the refusal the panel shows, or nothing when the action may go on.
// volumeName is the parameter's name (MicVol, MusicVol, CenterVol, SubVol); any other name is not limited.
bool IsMasterVolume(std::string_view name);
std::optional<BilingualText> MasterVolumeRefusal(const MachineSettings& machine, std::string_view volumeName,
                                                 int value);
std::optional<BilingualText> ModeLockRefusal(const MachineSettings& machine, bool save);

}  // namespace varnoth
