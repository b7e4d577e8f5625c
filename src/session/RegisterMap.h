// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace varnoth {

// Store positions. Positions 0..111 are also the byte positions of the parameter block in the mode data
// file; the four master volumes follow and are not part of the file.
namespace pos {
inline constexpr std::uint8_t InputGain_Mic = 0;
inline constexpr std::uint8_t InputGain_Music = 1;
inline constexpr std::uint8_t NoiseGate_Mic = 2;
inline constexpr std::uint8_t NoiseGate_Music = 3;
inline constexpr std::uint8_t ChToMainL_Mic = 4;
inline constexpr std::uint8_t ChToMainR_Mic = 5;
inline constexpr std::uint8_t ChToMainL_Music = 6;
inline constexpr std::uint8_t ChToMainR_Music = 7;
inline constexpr std::uint8_t ChToEffect1 = 8;
inline constexpr std::uint8_t ChToEffect2 = 9;
// Compressor of a path: On, Preset, AttackTime, ReleaseTime, Threshold, Ratio, Boost.
inline constexpr std::uint8_t Compress_Mic = 10;
inline constexpr std::uint8_t Compress_Music = 17;
inline constexpr std::uint8_t CompressOn = 0;
inline constexpr std::uint8_t CompressPreset = 1;
inline constexpr std::uint8_t CompressAttackTime = 2;
inline constexpr std::uint8_t CompressReleaseTime = 3;
inline constexpr std::uint8_t CompressThreshold = 4;
inline constexpr std::uint8_t CompressRatio = 5;
inline constexpr std::uint8_t CompressBoost = 6;
// PEQ of a path: On, LowGain, LMidGain, HMidGain, HighGain, LowF, LMidF, HMidF, HighF, LMidQ, HMidQ.
inline constexpr std::uint8_t PEQ_Mic = 24;
inline constexpr std::uint8_t PEQ_Music = 35;
inline constexpr std::uint8_t PEQOn = 0;
inline constexpr std::uint8_t PEQLowGain = 1;
inline constexpr std::uint8_t PEQLMidGain = 2;
inline constexpr std::uint8_t PEQHMidGain = 3;
inline constexpr std::uint8_t PEQHighGain = 4;
inline constexpr std::uint8_t PEQLowF = 5;
inline constexpr std::uint8_t PEQLMidF = 6;
inline constexpr std::uint8_t PEQHMidF = 7;
inline constexpr std::uint8_t PEQHighF = 8;
inline constexpr std::uint8_t PEQLMidQ = 9;
inline constexpr std::uint8_t PEQHMidQ = 10;
inline constexpr std::uint8_t kPeqFields = 11;
// Effect e (0 or 1): Preset, HPF, HSF, PreDelay, Level, DelayTime, Feedback, HDamp, Threshold.
inline constexpr std::uint8_t Effect1 = 46;
inline constexpr std::uint8_t Effect2 = 55;
inline constexpr std::uint8_t kEffectParams = 9;
inline constexpr std::uint8_t EffectPreset = 0;
inline constexpr std::uint8_t EffectHPF = 1;
inline constexpr std::uint8_t EffectHSF = 2;
inline constexpr std::uint8_t EffectPreDelay = 3;
inline constexpr std::uint8_t EffectLevel = 4;
inline constexpr std::uint8_t EffectDelayTime = 5;
inline constexpr std::uint8_t EffectFeedback = 6;
inline constexpr std::uint8_t EffectHDamp = 7;
inline constexpr std::uint8_t EffectThreshold = 8;
// The store position of a field of effect 0 or 1.
constexpr std::size_t OfEffect(int effect, std::uint8_t field) {
    return static_cast<std::size_t>(effect == 0 ? Effect1 : Effect2) + field;
}
inline constexpr std::uint8_t Reserved = 64;
inline constexpr std::uint8_t kReservedBytes = 4;
inline constexpr std::uint8_t SubLevel = 68;
inline constexpr std::uint8_t SubPhase180 = 69;
inline constexpr std::uint8_t SubFrequency = 70;
inline constexpr std::uint8_t SubResonance = 71;
inline constexpr std::uint8_t MicGEQ = 72;
inline constexpr std::uint8_t MusicGEQ = 82;
inline constexpr std::uint8_t CenterGEQ = 92;
inline constexpr std::uint8_t SubGEQ = 102;
inline constexpr std::uint8_t kBands = 10;
inline constexpr std::uint8_t MicVol = 112;
inline constexpr std::uint8_t MusicVol = 113;
inline constexpr std::uint8_t CenterVol = 114;
inline constexpr std::uint8_t SubVol = 115;
}  // namespace pos

inline constexpr std::size_t kFileBlockSize = 112;
inline constexpr std::size_t kStoreSize = 116;

// How a stored byte becomes the register value and back.
enum class ValueRule : std::uint8_t {
    Plain,      // stored and written as given (low byte)
    Volume,     // written as value + 40, read back as register - 40
    PeqSwitch,  // stored and written as 0x7F (non-zero) or 0
    SubPhase,   // stored as 1 or 0, the register receives the given byte
};

// The registers of one store position: block, index and one channel, or a stereo pair starting at
// channel (channel, channel + 1). A read-back takes the value of the first channel.
struct RegisterEntry {
    bool hasRegister = false;
    std::uint8_t block = 0;
    std::uint8_t index = 0;
    std::uint8_t channel = 0;
    bool stereo = false;
    ValueRule rule = ValueRule::Plain;
    std::uint8_t defaultValue = 0;
};

using RegisterMap = std::array<RegisterEntry, kStoreSize>;

// The register map of every store position, made from the parameter table.
const RegisterMap& StoreRegisterMap();

// The store positions whose register is (block, index), on any channel; empty for another register.
std::span<const std::uint8_t> PositionsOfRegister(std::uint8_t block, std::uint8_t index);

}  // namespace varnoth
