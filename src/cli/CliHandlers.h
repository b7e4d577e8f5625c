// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/CliCommands.h"
#include "session/ParameterTable.h"

namespace varnoth {

// The commands of varnoth-cli. Each checks its arguments before it touches the device.
CliStatus RunDump(CliContext& context);
CliStatus RunGet(CliContext& context);
CliStatus RunSet(CliContext& context);
CliStatus RunSave(CliContext& context);
CliStatus RunLoad(CliContext& context);
CliStatus RunMode(CliContext& context);
CliStatus RunMachine(CliContext& context);
CliStatus RunIr(CliContext& context);
CliStatus RunLevels(CliContext& context);
CliStatus RunVersionCheck(CliContext& context);
CliStatus RunUpgrade(CliContext& context);
CliStatus RunList(CliContext& context);
CliStatus RunExport(CliContext& context);
CliStatus RunImport(CliContext& context);
CliStatus RunDiff(CliContext& context);
CliStatus RunServe(CliContext& context);

inline CliStatus UsageError(const std::string& message) {
    return CliFailure{kExitUsage, message};
}
inline CliStatus BadInput(const std::string& message) {
    return CliFailure{kExitBadInput, message};
}

// Whether the whole-set write leaves out a parameter that has a register (the master volumes, the routing
// to the main outputs): it then goes through its own setter.
bool LeftOutByWriteAll(const ParameterRef& ref);
// Writes the session's whole set to the amplifier, then each of alsoSend through its setter; Ctrl+C or
// SIGTERM stops it.
CliStatus WriteWholeSet(CliContext& context, const std::vector<std::pair<ParameterRef, int>>& alsoSend);
// Says on stderr which values of a file were left out for being outside their ranges.
void ReportLeftOut(CliContext& context, const std::vector<std::string>& outside);

// The arguments left once the command's options have been taken, without the "--" separator.
std::vector<std::string> Positional(std::vector<std::string> args);
// An argument that looks like an option the command does not know.
CliStatus UnknownOption(const std::vector<std::string>& args);

}  // namespace varnoth
