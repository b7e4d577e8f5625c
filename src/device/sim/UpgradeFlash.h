// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include "device/Protocol.h"

#include <vector>

namespace varnoth {

// The amplifier's program flash as seen in upgrade mode: 64 KiB, erased (0xFF) until written. It records
// every page announcement and every data chunk in the order received, so that the image that arrived can be
// checked byte by byte.
class UpgradeFlash {
  public:
    static constexpr std::size_t kSize = 0x10000;
    static constexpr std::size_t kPageSize = 512;
    static constexpr std::size_t kMaxChunk = wire::kMaxUpgradeChunk;

    struct Announcement {
        std::uint16_t address;
        std::uint8_t extra;  // the third argument byte: 0x20 on the closing announcement, 0 on the others
        bool operator==(const Announcement&) const = default;
    };
    struct Chunk {
        std::uint16_t address;
        std::uint8_t count;
        bool operator==(const Chunk&) const = default;
    };

    // A page announcement (UpgradeBlock): the address of a page and its third argument byte.
    void Announce(std::uint16_t address, std::uint8_t extra);

    // A data chunk (UpgradeData): false, and nothing written, when the count is 0 or above kMaxChunk or the
    // chunk would run past the end of the flash. A chunk that touches a page not announced is still written
    // and counted in UnannouncedWrites().
    bool Write(std::uint16_t address, const std::uint8_t* data, std::size_t count);

    // Back to erased with empty records.
    void Clear();

    const std::array<std::uint8_t, kSize>& Bytes() const { return m_bytes; }
    bool Written(std::size_t address) const { return address < kSize && m_written[address]; }
    const std::vector<Announcement>& Announcements() const { return m_announcements; }
    const std::vector<Chunk>& Chunks() const { return m_chunks; }
    std::size_t RejectedChunks() const { return m_rejected; }
    std::size_t UnannouncedWrites() const { return m_unannounced; }

    // The image that reached the flash from address 0 up to the highest byte written below `end` (the
    // closing write at 0xE400 is left out by passing 0xE400).
    std::vector<std::uint8_t> Image(std::size_t end = kSize) const;

  private:
    bool PageAnnounced(std::size_t page) const { return m_announcedPages[page]; }

    std::array<std::uint8_t, kSize> m_bytes = Erased();
    std::bitset<kSize> m_written;
    std::bitset<kSize / kPageSize> m_announcedPages;
    std::vector<Announcement> m_announcements;
    std::vector<Chunk> m_chunks;
    std::size_t m_rejected = 0;
    std::size_t m_unannounced = 0;

    static std::array<std::uint8_t, kSize> Erased();
};

}  // namespace varnoth
