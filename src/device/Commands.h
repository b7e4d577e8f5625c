// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "device/Protocol.h"

// The commands of the amplifier, one struct each: its arguments, Encode for the panel and, where the
// amplifier reads arguments, Decode for the virtual amplifier. Decode reads the argument bytes of any report
// without judging them; what the amplifier refuses is the virtual amplifier's to say.
namespace varnoth::wire {

// Memory modes 0..3: save the working set into a mode, load a mode, reset a mode to the factory's.
struct SaveMode {
    std::uint8_t mode;
    Report Encode() const;
    static SaveMode Decode(const Report& report);
};
struct LoadMode {
    std::uint8_t mode;
    Report Encode() const;
    static LoadMode Decode(const Report& report);
};
struct ResetMode {
    std::uint8_t mode;
    Report Encode() const;
    static ResetMode Decode(const Report& report);
};
// Asks for the current memory mode (CurEffectModeReply).
struct ReadCurEffectMode {
    Report Encode() const;
};

struct WriteRegister {
    std::uint8_t block;
    std::uint8_t index;
    std::uint8_t channel;
    std::uint8_t value;
    Report Encode() const;
    static WriteRegister Decode(const Report& report);
};
// Asks for one register (RegisterReply; LevelsReply for kLevelRegister).
struct ReadRegister {
    RegisterAddress at;
    std::uint8_t channel = 0;
    Report Encode() const;
    static ReadRegister Decode(const Report& report);
};
// Asks for the channels of a register array (RegisterArrayReply).
struct ReadRegisterArray {
    RegisterAddress at;
    std::uint8_t count = kArrayChannels;
    Report Encode() const;
    static ReadRegisterArray Decode(const Report& report);
};

// The mic-controls-sub setting: restore time (0: off) and rate, in one report.
struct SetMicControlSub {
    std::uint8_t time;
    std::uint8_t rate;
    std::uint8_t selector = kMicControlSubSelector;
    Report Encode() const;
    static SetMicControlSub Decode(const Report& report);
};
struct ReadMicControlSub {
    Report Encode() const;
};

// The remote control: learn key 1..15 (answered by KeyStudiedReply when the key is pressed), stop learning,
// read and write the IR record (system code, then the fifteen key codes).
struct StudyKey {
    std::uint8_t keyIndex;
    Report Encode() const;
    static StudyKey Decode(const Report& report);
};
struct CancelStudying {
    Report Encode() const;
};
struct ReadIRSet {
    Report Encode() const;
};
struct ApplyIRSet {
    IrRecord record;
    Report Encode() const;
    static ApplyIRSet Decode(const Report& report);
};

// The machine settings' record.
struct ApplyMachineSet {
    MachineRecord record;
    Report Encode() const;
    static ApplyMachineSet Decode(const Report& report);
};
struct MachineReadAll {
    Report Encode() const;
};
// Everything back to the factory's; only with kResetMachineKey.
struct ResetMachine {
    std::uint8_t key = op::kResetMachineKey;
    Report Encode() const;
    static ResetMachine Decode(const Report& report);
};

// Identity: model name and firmware date (DevNameReply, DevDateReply).
struct ReadDevName {
    Report Encode() const;
};
struct ReadDevDate {
    Report Encode() const;
};

// The farewell in normal mode: the amplifier leaves PC control.
struct UnLockMachine {
    Report Encode() const;
};

// Firmware reports, known in upgrade mode only. UpgradeBlock announces the page at `address` (a `mark`
// announces the closing pair), UpgradeData carries `count` bytes of image for `address`, UpgradeExit is the
// farewell in upgrade mode.
struct UpgradeBlock {
    std::uint16_t address;
    std::uint8_t mark = 0;
    Report Encode() const;
    static UpgradeBlock Decode(const Report& report);
};
struct UpgradeData {
    std::uint16_t address;
    std::uint8_t count;  // as sent; more than kMaxUpgradeChunk does not fit the report
    std::array<std::uint8_t, kMaxUpgradeChunk> data;
    // The first min(bytes.size(), kMaxUpgradeChunk) bytes for `address`.
    static UpgradeData Of(std::uint16_t address, std::span<const std::uint8_t> bytes);
    Report Encode() const;
    static UpgradeData Decode(const Report& report);
};
struct UpgradeExit {
    Report Encode() const;
};

}  // namespace varnoth::wire
