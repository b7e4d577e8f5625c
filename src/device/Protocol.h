// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "device/Opcodes.h"
#include "device/Transport.h"

// The amplifier's protocol, free of any I/O: the layout of its reports, its registers with a meaning of their
// own, and how its values travel. Each command (device/Commands.h) and each reply (device/Replies.h) is
// encoded and decoded there, in one place, for the panel and the virtual amplifier alike.
namespace varnoth::wire {

// Byte 0 of a report is its report ID, byte 1 the opcode (a reply carries that of the command it answers),
// the arguments follow from byte 2.
inline constexpr std::uint8_t kOutputReportId = 2;
inline constexpr std::uint8_t kInputReportId = 1;
inline constexpr std::size_t kOpcodeByte = 1;
inline constexpr std::size_t kFirstArgByte = 2;

// An output report of `opcode` with the low byte of each argument from byte 2 on, until the value -1 or until
// the report is full: the raw form of every command.
Report CommandReport(int opcode, std::initializer_list<int> args);
// An input report of `opcode` with nothing else set.
Report ReplyReport(std::uint8_t opcode);

// A register array: the eight channels of one (block, index).
struct RegisterAddress {
    std::uint8_t block;
    std::uint8_t index;
    bool operator==(const RegisterAddress&) const = default;
};
inline constexpr std::size_t kArrayChannels = 8;

// The four input levels (microphone 1 and 2, music 1 and 2), read with ReadRegister.
inline constexpr RegisterAddress kLevelRegister{8, 0x30};
// The master volumes, channel 0..5: mic left and right, music left and right, centre, sub. Each holds the
// volume as shown + kVolumeOffset.
inline constexpr RegisterAddress kVolumeRegister{10, 32};
inline constexpr int kVolumeOffset = 40;
constexpr std::uint8_t VolumeOnWire(int volume) {
    return static_cast<std::uint8_t>((volume + kVolumeOffset) & 0xFF);
}
constexpr std::uint8_t VolumeFromWire(std::uint8_t value) {
    return static_cast<std::uint8_t>((value - kVolumeOffset) & 0xFF);
}
// An effect's preset, channel 0 or 1; writing it makes the amplifier load the preset's parameters into
// registers (3, 1..8) of that channel.
inline constexpr RegisterAddress kEffectPresetRegister{3, 0};

// The records and texts the amplifier keeps.
inline constexpr std::size_t kMachineRecordSize = 11;
inline constexpr std::size_t kIrRecordSize = 16;
using MachineRecord = std::array<std::uint8_t, kMachineRecordSize>;
using IrRecord = std::array<std::uint8_t, kIrRecordSize>;
// The longest model name and firmware date a reply may set; longer texts are cut.
inline constexpr std::size_t kDevNameChars = 29;
inline constexpr std::size_t kDevDateChars = 10;
// The bytes of image one UpgradeData report carries at most.
inline constexpr std::size_t kMaxUpgradeChunk = 56;

// The only setting the mic-controls-sub commands address.
inline constexpr std::uint8_t kMicControlSubSelector = 1;
}  // namespace varnoth::wire
