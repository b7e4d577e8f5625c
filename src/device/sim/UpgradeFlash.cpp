// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/UpgradeFlash.h"

namespace varnoth {

std::array<std::uint8_t, UpgradeFlash::kSize> UpgradeFlash::Erased() {
    std::array<std::uint8_t, kSize> bytes;
    bytes.fill(0xFF);
    return bytes;
}

void UpgradeFlash::Announce(std::uint16_t address, std::uint8_t extra) {
    m_announcements.push_back({address, extra});
    m_announcedPages[address / kPageSize] = true;
}

bool UpgradeFlash::Write(std::uint16_t address, const std::uint8_t* data, std::size_t count) {
    if (count == 0 || count > kMaxChunk || address + count > kSize) {
        ++m_rejected;
        return false;
    }
    bool announced = true;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = address + i;
        announced = announced && PageAnnounced(at / kPageSize);
        m_bytes[at] = data[i];
        m_written[at] = true;
    }
    if (!announced) {
        ++m_unannounced;
    }
    m_chunks.push_back({address, static_cast<std::uint8_t>(count)});
    return true;
}

void UpgradeFlash::Clear() {
    *this = UpgradeFlash{};
}

std::vector<std::uint8_t> UpgradeFlash::Image(std::size_t end) const {
    std::size_t length = 0;
    for (std::size_t at = 0; at < end && at < kSize; ++at) {
        if (m_written[at]) {
            length = at + 1;
        }
    }
    return {m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

}  // namespace varnoth
