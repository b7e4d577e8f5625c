// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <cstddef>

#include "session/RegisterMap.h"

namespace varnoth {

// What changed in the store since the views last looked: one bit per store position, then the session's
// own settings that the window shows.
inline constexpr std::size_t kMicControlSubChange = kStoreSize;
inline constexpr std::size_t kModeChange = kStoreSize + 1;
inline constexpr std::size_t kChangeBits = kStoreSize + 2;
using ChangeSet = std::bitset<kChangeBits>;

// The bits of positions first .. first + count - 1.
inline ChangeSet ChangeRange(std::size_t first, std::size_t count) {
    ChangeSet bits;
    for (std::size_t i = first; i < first + count && i < kChangeBits; ++i) {
        bits.set(i);
    }
    return bits;
}

}  // namespace varnoth
