// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "session/MachineFieldTable.h"
#include "session/ParameterTable.h"

namespace varnoth {

// How every output and every preset names a machine setting: Machine.NAME.
constexpr std::string_view kMachinePrefix = "Machine.";

// A machine setting by its name, with or without the Machine. prefix. Reads come from the saved copy, writes
// go to the working copy.
const MachineFieldRow* FindMachineField(const std::string& name);

// A value given on the command line: decimal or 0x-hexadecimal, nothing else.
std::optional<int> ParseNumber(const std::string& text);

}  // namespace varnoth
