// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/Protocol.h"
#include "device/sim/RegisterBank.h"

namespace varnoth::sim {

// The values the virtual amplifier leaves the factory with.

inline constexpr std::size_t kModeCount = 4;
inline constexpr std::size_t kEffectPresetCount = 28;
// The eight parameters an effect preset sets, the registers after the preset's (3, 1..8, effect): HPF, HSF,
// pre-delay, level, delay time, feedback, HF damping, gate threshold.
inline constexpr std::size_t kEffectParams = 8;

using MachineRecord = wire::MachineRecord;
using IrRecord = wire::IrRecord;

// The parameters effect preset p loads; p < kEffectPresetCount.
const std::array<std::uint8_t, kEffectParams>& EffectPresetParams(std::size_t preset);

// Writes preset p (stored at wire::kEffectPresetRegister, channel `effect`) and its eight parameters into the
// bank.
void LoadEffectPreset(RegisterBank& bank, std::uint8_t effect, std::uint8_t preset);

// The reset set of memory mode 0..3; the factory working set is the reset set of mode 0.
RegisterBank ModeResetSet(std::size_t mode);

MachineRecord FactoryMachineRecord();
IrRecord FactoryIrRecord();

inline constexpr const char* kFactoryName = "VQ317X";
inline constexpr const char* kFactoryDate = "2011-11-28";

}  // namespace varnoth::sim
