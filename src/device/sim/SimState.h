// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/sim/RegisterBank.h"
#include "device/sim/SimFactory.h"

namespace varnoth {

// Everything the virtual amplifier keeps across a power cycle.
struct VirtualAmpState {
    static constexpr std::size_t kMaxTextLength = 58;  // name and date fit one reply with their zero byte

    RegisterBank working;
    std::array<RegisterBank, sim::kModeCount> stored;
    std::array<RegisterBank, sim::kModeCount> reset;
    sim::MachineRecord machine{};
    sim::IrRecord ir{};
    std::uint8_t micControlSubTime = 0;
    std::uint8_t micControlSubRate = 0;
    std::uint8_t currentMode = 0;
    bool upgradeMode = false;
    std::string name;
    std::string date;

    // The amplifier as it leaves the factory.
    static VirtualAmpState Factory();

    // Empty when the state can be taken as it is, else what is wrong with it.
    std::string Problem() const;

    bool operator==(const VirtualAmpState&) const = default;
};

// Whether a name or date can be reported: at most kMaxTextLength bytes, none of them 0.
bool ValidDeviceText(const std::string& text);

// The state file: a versioned binary image with a checksum. Saving writes a temporary file beside the target
// and renames it, so an existing file is replaced whole or not at all. Both return an empty string on
// success, else a message for the user.
std::string SaveStateFile(const VirtualAmpState& state, const std::string& path);
std::string LoadStateFile(const std::string& path, VirtualAmpState& state);

}  // namespace varnoth
