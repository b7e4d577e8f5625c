// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace varnoth::op {

// Commands (byte 1 of an output report).
inline constexpr std::uint8_t UpgradeBlock = 0x01;
inline constexpr std::uint8_t UpgradeData = 0x02;
inline constexpr std::uint8_t UpgradeExit = 0x03;
inline constexpr std::uint8_t SaveMode = 0x04;
inline constexpr std::uint8_t LoadMode = 0x05;
inline constexpr std::uint8_t ResetMode = 0x06;
inline constexpr std::uint8_t ReadCurEffectMode = 0x07;
inline constexpr std::uint8_t WriteRegister = 0x09;
inline constexpr std::uint8_t ReadRegister = 0x0a;
inline constexpr std::uint8_t ReadRegisterArray = 0x0b;
inline constexpr std::uint8_t SetMicControlSub = 0x10;
inline constexpr std::uint8_t ReadMicControlSub = 0x11;
inline constexpr std::uint8_t StudyKey = 0x60;
inline constexpr std::uint8_t CancelStudying = 0x61;
inline constexpr std::uint8_t ReadIRSet = 0x62;
inline constexpr std::uint8_t ApplyIRSet = 0x63;
inline constexpr std::uint8_t ResetMachine = 0x68;
inline constexpr std::uint8_t ReadDevName = 0x80;
inline constexpr std::uint8_t ReadDevDate = 0x81;
inline constexpr std::uint8_t UnLockMachine = 0x8a;
inline constexpr std::uint8_t ApplyMachineSet = 0x91;
inline constexpr std::uint8_t Machine_ReadAll = 0x92;

// Replies (byte 1 of an input report) carry the opcode of the command they answer; these are the ones the
// host examines: ReadCurEffectMode, ReadRegister, ReadRegisterArray, ReadMicControlSub, StudyKey, ReadIRSet,
// ReadDevName, ReadDevDate, Machine_ReadAll.

// The fixed argument of ResetMachine.
inline constexpr std::uint8_t kResetMachineKey = 0xAA;

}  // namespace varnoth::op
