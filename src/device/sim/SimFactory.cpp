// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimFactory.h"

namespace varnoth::sim {
namespace {

// Rows in preset order: HPF, HSF, pre-delay, level, delay time, feedback, HF damping, gate threshold.
constexpr std::array<std::array<std::uint8_t, kEffectParams>, kEffectPresetCount> kEffectPresets{{
    {0, 0, 0, 0, 0, 0, 0, 0},          // off
    {20, 100, 4, 80, 10, 30, 60, 0},   // short room A
    {20, 96, 6, 80, 14, 34, 64, 0},    // short room B
    {24, 90, 8, 78, 18, 38, 68, 0},    // short room C
    {20, 100, 10, 76, 26, 44, 56, 0},  // room A
    {24, 92, 12, 76, 32, 48, 62, 0},   // room B
    {16, 104, 16, 72, 44, 56, 48, 0},  // small hall A
    {18, 98, 18, 72, 50, 60, 54, 0},   // small hall B
    {12, 108, 24, 70, 66, 70, 44, 0},  // large hall A
    {14, 100, 28, 70, 74, 74, 50, 0},  // large hall B
    {30, 116, 2, 74, 20, 50, 30, 0},   // short plate
    {34, 112, 6, 76, 36, 62, 36, 0},   // vocal plate
    {10, 96, 32, 66, 88, 82, 58, 0},   // church A
    {12, 90, 36, 66, 96, 86, 64, 0},   // church B
    {8, 94, 44, 64, 118, 96, 60, 0},   // cathedral
    {22, 104, 4, 80, 40, 70, 40, 64},  // gated reverb A
    {24, 100, 6, 80, 48, 74, 44, 80},  // gated reverb B
    {30, 114, 2, 78, 36, 72, 30, 64},  // gated plate A
    {32, 110, 4, 78, 44, 76, 34, 80},  // gated plate B
    {26, 88, 0, 70, 30, 56, 70, 0},    // mono echo
    {26, 88, 0, 70, 30, 60, 70, 0},    // stereo echo
    {26, 86, 0, 68, 46, 58, 72, 0},    // mono 3/4 echo
    {26, 86, 0, 68, 46, 62, 72, 0},    // stereo 3/4 echo
    {26, 84, 0, 66, 60, 60, 74, 0},    // mono 4/4 echo
    {26, 84, 0, 66, 60, 64, 74, 0},    // stereo 4/4 echo
    {26, 82, 0, 66, 40, 54, 76, 0},    // mono triplet echo
    {26, 82, 0, 66, 40, 58, 76, 0},    // stereo triplet echo
    {36, 80, 0, 74, 28, 66, 80, 0},    // spring reverb
}};

// One register family of the factory set: (block, index) on channels first..last.
struct FactoryRegister {
    std::uint8_t block;
    std::uint8_t firstIndex;
    std::uint8_t lastIndex;
    std::uint8_t firstChannel;
    std::uint8_t lastChannel;
    std::uint8_t value;
};

constexpr std::uint8_t kMidRange = 0x40;
constexpr std::uint8_t kFlat = 0x40;
constexpr std::uint8_t kPeqOn = 0x7F;
constexpr std::uint8_t kMidVolume = 18;

constexpr FactoryRegister kFactoryRegisters[] = {
    {8, 4, 4, 0, 3, kMidRange},  // input gains
    {8, 5, 5, 0, 3, 8},          // noise gates, just above the floor
    {8, 6, 7, 0, 3, 100},        // routing to the main outputs, left and right
    {8, 8, 9, 0, 1, kMidRange},  // microphone sends to the two effects
    {5, 0, 0, 0, 3, 0},          // compressors off
    {5, 1, 1, 0, 3, 64},         // compressor attack
    {5, 2, 2, 0, 3, 0},          // compressor release
    {5, 3, 3, 0, 3, 16},         // compressor threshold
    {5, 4, 4, 0, 3, 64},         // compressor ratio
    {5, 5, 5, 0, 3, 18},         // compressor boost
    {9, 0, 0, 0, 3, kPeqOn},     // parametric EQ on
    {9, 4, 11, 0, 3, kFlat},     // parametric EQ gains and frequencies
    {9, 13, 14, 0, 3, kFlat},    // parametric EQ Q values
    {10, 0, 9, 0, 5, kFlat},     // graphic EQ bands of all four banks
    {wire::kVolumeRegister.block, wire::kVolumeRegister.index, wire::kVolumeRegister.index, 0, 5,
     wire::VolumeOnWire(kMidVolume)},  // master volumes
    {11, 4, 4, 0, 0, kMidRange},       // subwoofer level
    {11, 5, 5, 0, 0, 0},               // subwoofer phase
    {11, 6, 6, 0, 0, kMidRange},       // subwoofer frequency
    {11, 7, 7, 0, 0, kMidRange},       // subwoofer resonance
};

// Effect presets of the two effects in each mode's reset set.
constexpr std::array<std::array<std::uint8_t, 2>, kModeCount> kModeEffects{
    {{6, 20}, {4, 19}, {8, 22}, {11, 24}}};

// The microphone graphic EQ of mode 0: a little low cut and presence.
constexpr std::array<std::uint8_t, 10> kMode0MicGeq{0x32, 0x32, 0x42, 0x40, 0x40,
                                                    0x40, 0x40, 0x40, 0x40, 0x43};

}  // namespace

const std::array<std::uint8_t, kEffectParams>& EffectPresetParams(std::size_t preset) {
    return kEffectPresets.at(preset);
}

void LoadEffectPreset(RegisterBank& bank, std::uint8_t effect, std::uint8_t preset) {
    const wire::RegisterAddress at = wire::kEffectPresetRegister;
    bank.Set(at.block, at.index, effect, preset);
    const auto& params = EffectPresetParams(preset);
    for (std::size_t p = 0; p < kEffectParams; ++p) {
        bank.Set(at.block, static_cast<std::uint8_t>(at.index + 1 + p), effect, params[p]);
    }
}

RegisterBank ModeResetSet(std::size_t mode) {
    RegisterBank bank;
    for (const FactoryRegister& r : kFactoryRegisters) {
        for (unsigned index = r.firstIndex; index <= r.lastIndex; ++index) {
            bank.SetChannels(r.block, static_cast<std::uint8_t>(index), r.firstChannel, r.lastChannel,
                             r.value);
        }
    }
    const auto& effects = kModeEffects.at(mode);
    LoadEffectPreset(bank, 0, effects[0]);
    LoadEffectPreset(bank, 1, effects[1]);
    if (mode == 0) {
        for (std::uint8_t band = 0; band < kMode0MicGeq.size(); ++band) {
            bank.SetChannels(10, band, 0, 1, kMode0MicGeq[band]);
        }
    }
    return bank;
}

MachineRecord FactoryMachineRecord() {
    // Volume by mode, power-on volumes 18, no volume limit, locks off, two reserved bytes of the firmware.
    return {1, 18, 18, 36, 36, 36, 36, 0, 0, 0x5A, 0x01};
}

IrRecord FactoryIrRecord() {
    // The codes of the remote control delivered with the amplifier.
    return {0x80, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
}

}  // namespace varnoth::sim
