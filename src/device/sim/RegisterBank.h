// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varnoth {

// One complete set of the amplifier's DSP registers, addressed by block, index and channel. Every address
// with block < kBlocks, index < kIndexes and channel < kChannels holds a byte; other addresses do not exist.
class RegisterBank {
  public:
    static constexpr std::size_t kBlocks = 16;
    static constexpr std::size_t kIndexes = 64;
    static constexpr std::size_t kChannels = 8;
    static constexpr std::size_t kSize = kBlocks * kIndexes * kChannels;
    using Bytes = std::array<std::uint8_t, kSize>;

    static bool Exists(std::uint8_t block, std::uint8_t index, std::uint8_t channel) {
        return block < kBlocks && index < kIndexes && channel < kChannels;
    }

    // 0 for an address that does not exist.
    std::uint8_t Get(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const;
    // False (and nothing stored) for an address that does not exist.
    bool Set(std::uint8_t block, std::uint8_t index, std::uint8_t channel, std::uint8_t value);
    // Sets the register on every channel in [first, last].
    void SetChannels(std::uint8_t block, std::uint8_t index, std::uint8_t first, std::uint8_t last,
                     std::uint8_t value);

    const Bytes& Raw() const { return m_bytes; }
    Bytes& Raw() { return m_bytes; }

    bool operator==(const RegisterBank&) const = default;

  private:
    static std::size_t Offset(std::uint8_t block, std::uint8_t index, std::uint8_t channel) {
        return (std::size_t{block} * kIndexes + index) * kChannels + channel;
    }

    Bytes m_bytes{};
};

}  // namespace varnoth
