// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace varnoth {

// The settings of the machine record, in table order. The enum is how code names a field; everything known
// about it is its row in MachineFieldTable().
enum class MachineField : std::uint8_t {
    VolMode,
    PowerMicVol,
    PowerMusicVol,
    MaxMicVol,
    MaxMusicVol,
    MaxCenterVol,
    MaxSubVol,
    EnableLockFunc,
    Lock_MicVol,
    Lock_MusicVol,
    Lock_MicMenu,
    Lock_MusicMenu,
    Lock_LoadMode,
    Lock_SaveMode,
};

inline constexpr int kMaxVolumeStep = 36;
inline constexpr int kPowerVolumeOff = 0xFF;
inline constexpr int kNoOffValue = -1;
// Bytes 0..8 of the record hold the settings; the reserved pair after them belongs to the device.
inline constexpr std::size_t kMachineSettingsBytes = 9;
inline constexpr std::uint8_t kWholeByte = 0xFF;

// One setting of the machine record: its name (the command line's and the readable preset's word after
// "Machine."), its byte in the record, the bits it takes there (a whole byte, or one bit of the locks' byte),
// the values the settings dialog produces, and offValue, when not kNoOffValue, one more value outside
// min..max with a meaning of its own (a power-on volume switched off).
struct MachineFieldRow {
    MachineField field;
    const char* name;
    std::size_t byte;
    std::uint8_t mask;
    int min;
    int max;
    int offValue;

    constexpr bool WholeByte() const { return mask == kWholeByte; }
    constexpr bool OffAllowed() const { return offValue != kNoOffValue; }
    // The field's value in its byte of a record: a whole byte as it is, a lock as 1 or 0.
    constexpr std::uint8_t In(std::uint8_t byte) const {
        if (WholeByte()) {
            return byte;
        }
        return (byte & mask) != 0 ? 1 : 0;
    }
    // Its byte of a record with the field set: a whole byte takes the value's low byte, a lock is set by any
    // value but 0.
    constexpr std::uint8_t With(std::uint8_t byte, int value) const {
        if (WholeByte()) {
            return static_cast<std::uint8_t>(value & 0xFF);
        }
        return static_cast<std::uint8_t>(value != 0 ? byte | mask : byte & ~mask);
    }
};

std::span<const MachineFieldRow> MachineFieldTable();
const MachineFieldRow& MachineFieldRowOf(MachineField field);
// A setting by its name (without "Machine."); nothing for an unknown name.
const MachineFieldRow* MachineFieldNamed(std::string_view name);

// What a byte of the record may hold, as a mode data file is checked: a whole-byte setting's rule, or for
// the locks' byte ("LockBits") any combination of its lock bits.
struct MachineByteRule {
    const char* name;
    int min;
    int max;
    int offValue;
};
const std::array<MachineByteRule, kMachineSettingsBytes>& MachineByteRules();

}  // namespace varnoth
