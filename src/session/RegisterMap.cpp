// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/RegisterMap.h"

#include <algorithm>
#include <vector>

#include "session/ParameterTable.h"

namespace varnoth {
namespace {

// Store bytes that belong to no parameter (the reserved bytes of the block) hold this and have no register.
constexpr std::uint8_t kUnusedDefault = 0x40;

RegisterMap BuildMap() {
    RegisterMap map{};
    map.fill(RegisterEntry{false, 0, 0, 0, false, ValueRule::Plain, kUnusedDefault});
    for (const Parameter& param : ParameterTable()) {
        if (param.position == kNotStored) {
            continue;
        }
        for (int index = 0; index < std::max(param.count, 1); ++index) {
            const ParameterRef ref{&param, index};
            map[static_cast<std::size_t>(ref.Position())] = ref.Registers();
        }
    }
    return map;
}

// Positions by register, for the replies: block and index each below 64.
constexpr std::size_t kRegisterKeys = 64 * 64;

std::array<std::vector<std::uint8_t>, kRegisterKeys> BuildPositions(const RegisterMap& map) {
    std::array<std::vector<std::uint8_t>, kRegisterKeys> positions;
    for (std::size_t position = 0; position < map.size(); ++position) {
        const RegisterEntry& entry = map[position];
        if (entry.hasRegister && entry.block < 64 && entry.index < 64) {
            positions[entry.block * 64U + entry.index].push_back(static_cast<std::uint8_t>(position));
        }
    }
    return positions;
}

}  // namespace

const RegisterMap& StoreRegisterMap() {
    static const RegisterMap map = BuildMap();
    return map;
}

std::span<const std::uint8_t> PositionsOfRegister(std::uint8_t block, std::uint8_t index) {
    static const std::array<std::vector<std::uint8_t>, kRegisterKeys> positions =
        BuildPositions(StoreRegisterMap());
    if (block >= 64 || index >= 64) {
        return {};
    }
    return positions[block * 64U + index];
}

}  // namespace varnoth
