// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/MachineRules.h"

#include <algorithm>
#include <array>

#include "session/MachineSettings.h"

namespace varnoth {
namespace {

// A master volume: its maximum in the machine settings, its lock (none for centre and sub) and the notice
// the panel shows when the lock holds it.
struct VolumeLimit {
    std::string_view name;
    MachineField max;
    std::optional<MachineField> locked;
    const char* chineseName;
    const char* englishName;
    const char* lockedChinese;
    const char* lockedEnglish;
};

const std::array<VolumeLimit, 4> kVolumeLimits{{
    {"MicVol", MachineField::MaxMicVol, MachineField::Lock_MicVol, "话筒", "mic", "话筒音量已锁定!",
     "Mic vol locked!"},
    {"MusicVol", MachineField::MaxMusicVol, MachineField::Lock_MusicVol, "音乐", "music", "音乐音量已锁定!",
     "Music vol locked!"},
    {"CenterVol", MachineField::MaxCenterVol, std::nullopt, "中置", "center", nullptr, nullptr},
    {"SubVol", MachineField::MaxSubVol, std::nullopt, "超低", "sub", nullptr, nullptr},
}};

}  // namespace

bool IsMasterVolume(std::string_view name) {
    return std::any_of(kVolumeLimits.begin(), kVolumeLimits.end(),
                       [&](const VolumeLimit& l) { return l.name == name; });
}

std::optional<BilingualText> MasterVolumeRefusal(const MachineSettings& machine, std::string_view volumeName,
                                                 int value) {
    const auto* limit = std::find_if(kVolumeLimits.begin(), kVolumeLimits.end(),
                                     [&](const VolumeLimit& l) { return l.name == volumeName; });
    if (limit == kVolumeLimits.end()) {
        return std::nullopt;
    }
    if (limit->locked && machine.Saved(MachineField::EnableLockFunc) != 0 &&
        machine.Saved(*limit->locked) != 0) {
        return BilingualText{limit->lockedChinese, limit->lockedEnglish};
    }
    const int max = machine.Saved(limit->max);
    if (value > max) {
        const std::string number = std::to_string(value);
        const std::string cap = std::to_string(max);
        return BilingualText{std::string(limit->chineseName) + "音量 " + number + " 超过机器设置的最大" +
                                 limit->chineseName + "音量 " + cap + "!",
                             "The " + std::string(limit->englishName) + " volume " + number +
                                 " is above the maximum " + limit->englishName + " volume " + cap +
                                 " of the machine settings!"};
    }
    return std::nullopt;
}

std::optional<BilingualText> ModeLockRefusal(const MachineSettings& machine, bool save) {
    if (machine.Saved(MachineField::EnableLockFunc) == 0) {
        return std::nullopt;
    }
    if (save && machine.Saved(MachineField::Lock_SaveMode) != 0) {
        return BilingualText{"存储模式已锁定!", "Save mode locked!"};
    }
    if (!save && machine.Saved(MachineField::Lock_LoadMode) != 0) {
        return BilingualText{"载入模式已锁定!", "Load mode locked!"};
    }
    return std::nullopt;
}

}  // namespace varnoth
