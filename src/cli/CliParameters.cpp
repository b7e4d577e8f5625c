// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliParameters.h"

#include <charconv>

namespace varnoth {

std::optional<int> ParseNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

const MachineFieldRow* FindMachineField(const std::string& name) {
    const std::string_view bare =
        name.starts_with(kMachinePrefix) ? std::string_view(name).substr(kMachinePrefix.size()) : name;
    return MachineFieldNamed(bare);
}

}  // namespace varnoth
