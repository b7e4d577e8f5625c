// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "session/ParameterTable.h"

namespace varnoth {

class DeviceSession;

// One machine setting as the command line names it (its MachineSettings setter name without Set). Reads come
// from the saved copy, writes go to the working copy.
struct MachineFieldInfo {
    const char* name;
    int min;
    int max;
    bool offAllowed;  // "off" is accepted and stands for 255
    int (*get)(const DeviceSession& session);
    void (*set)(DeviceSession& session, int value);
};

std::span<const MachineFieldInfo> MachineFields();

// How every output and every preset names a machine setting: Machine.NAME.
constexpr std::string_view kMachinePrefix = "Machine.";

// A setting by its name, with or without the Machine. prefix.
const MachineFieldInfo* FindMachineField(const std::string& name);

// A value given on the command line: decimal or 0x-hexadecimal, nothing else.
std::optional<int> ParseNumber(const std::string& text);

}  // namespace varnoth
