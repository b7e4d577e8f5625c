// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/CliDevice.h"

namespace varnoth {

// What a command runs with: the device, its arguments (after the command name) and the output streams.
struct CliContext {
    CliDevice& device;
    std::vector<std::string> args;
    std::ostream& out;
    std::ostream& err;
    bool terminal;           // err is a terminal: progress is drawn there
    int answer = kExitDone;  // the exit code of a command that ends well (diff: 1 when the sets differ)
};

struct CliCommand {
    const char* name;
    const char* synopsis;
    const char* help;
    CliStatus (*run)(CliContext& context);
    int trouble = kExitDone;  // when not 0, the exit code of every failure but an interrupt (diff: 2)
};

std::span<const CliCommand> CliCommandTable();

// Runs varnoth-cli with its arguments (without the program name) and returns the exit code. Errors are
// written to err as one line each.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal);

}  // namespace varnoth
