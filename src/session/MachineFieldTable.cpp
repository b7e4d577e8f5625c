// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/MachineFieldTable.h"

#include <algorithm>

namespace varnoth {
namespace {

using F = MachineField;

constexpr std::size_t kLockBitsByte = 8;
// How a mode data file's refusal names the locks' byte as a whole.
constexpr const char* kLockBitsName = "LockBits";

constexpr MachineFieldRow Volume(F field, const char* name, std::size_t byte, int offValue = kNoOffValue) {
    return {field, name, byte, kWholeByte, 0, kMaxVolumeStep, offValue};
}

constexpr MachineFieldRow Switch(F field, const char* name, std::size_t byte) {
    return {field, name, byte, kWholeByte, 0, 1, kNoOffValue};
}

constexpr MachineFieldRow Lock(F field, const char* name, std::uint8_t bit) {
    return {field, name, kLockBitsByte, bit, 0, 1, kNoOffValue};
}

constexpr std::array kRows{
    Switch(F::VolMode, "VolMode", 0),
    Volume(F::PowerMicVol, "PowerMicVol", 1, kPowerVolumeOff),
    Volume(F::PowerMusicVol, "PowerMusicVol", 2, kPowerVolumeOff),
    Volume(F::MaxMicVol, "MaxMicVol", 3),
    Volume(F::MaxMusicVol, "MaxMusicVol", 4),
    Volume(F::MaxCenterVol, "MaxCenterVol", 5),
    Volume(F::MaxSubVol, "MaxSubVol", 6),
    Switch(F::EnableLockFunc, "EnableLockFunc", 7),
    Lock(F::Lock_MicVol, "Lock_MicVol", 0x01),
    Lock(F::Lock_MusicVol, "Lock_MusicVol", 0x02),
    Lock(F::Lock_MicMenu, "Lock_MicMenu", 0x04),
    Lock(F::Lock_MusicMenu, "Lock_MusicMenu", 0x08),
    Lock(F::Lock_LoadMode, "Lock_LoadMode", 0x10),
    Lock(F::Lock_SaveMode, "Lock_SaveMode", 0x20),
};

constexpr bool RowsInEnumOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].field) != i || kRows[i].byte >= kMachineSettingsBytes) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInEnumOrder(), "a machine field's row sits at its enum value, within the settings bytes");

constexpr std::array<MachineByteRule, kMachineSettingsBytes> ByteRules() {
    std::array<MachineByteRule, kMachineSettingsBytes> rules{};
    for (const MachineFieldRow& row : kRows) {
        MachineByteRule& rule = rules[row.byte];
        if (row.WholeByte()) {
            rule = {row.name, row.min, row.max, row.offValue};
        } else {
            rule = {kLockBitsName, 0, rule.max | row.mask, kNoOffValue};
        }
    }
    return rules;
}

constexpr std::array kByteRules = ByteRules();

constexpr bool EveryByteHasARule() {
    return std::all_of(kByteRules.begin(), kByteRules.end(),
                       [](const MachineByteRule& rule) { return rule.name != nullptr; });
}
static_assert(EveryByteHasARule(), "every settings byte of the record is a setting or holds lock bits");

}  // namespace

std::span<const MachineFieldRow> MachineFieldTable() {
    return kRows;
}

const MachineFieldRow& MachineFieldRowOf(MachineField field) {
    return kRows[static_cast<std::size_t>(field)];
}

const MachineFieldRow* MachineFieldNamed(std::string_view name) {
    const auto* row =
        std::find_if(kRows.begin(), kRows.end(), [&](const MachineFieldRow& r) { return name == r.name; });
    return row == kRows.end() ? nullptr : row;
}

const std::array<MachineByteRule, kMachineSettingsBytes>& MachineByteRules() {
    return kByteRules;
}

}  // namespace varnoth
