// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "cli/CliCommands.h"

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

inline CliStatus UsageError(const std::string& message) {
    return CliFailure{kExitUsage, message};
}
inline CliStatus BadInput(const std::string& message) {
    return CliFailure{kExitBadInput, message};
}

// The arguments left once the command's options have been taken, without the "--" separator.
std::vector<std::string> Positional(std::vector<std::string> args);
// An argument that looks like an option the command does not know.
CliStatus UnknownOption(const std::vector<std::string>& args);

}  // namespace varnoth
