// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/RegisterBank.h"

namespace varnoth {

std::uint8_t RegisterBank::Get(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
    return Exists(block, index, channel) ? m_bytes[Offset(block, index, channel)] : 0;
}

bool RegisterBank::Set(std::uint8_t block, std::uint8_t index, std::uint8_t channel, std::uint8_t value) {
    if (!Exists(block, index, channel)) {
        return false;
    }
    m_bytes[Offset(block, index, channel)] = value;
    return true;
}

void RegisterBank::SetChannels(std::uint8_t block, std::uint8_t index, std::uint8_t first, std::uint8_t last,
                               std::uint8_t value) {
    for (unsigned channel = first; channel <= last; ++channel) {
        Set(block, index, static_cast<std::uint8_t>(channel), value);
    }
}

}  // namespace varnoth
