// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnoth {

// The exit codes of varnoth-cli.
enum ExitCode : int {
    kExitDone = 0,
    kExitNoDevice = 1,      // no device, not connected, the device did not answer or went away
    kExitDiffer = 1,        // diff: the two sets differ (as diff(1) says it)
    kExitUsage = 2,         // the command line is wrong
    kExitTrouble = 2,       // diff: the sets could not be compared (as diff(1) says it)
    kExitBadInput = 3,      // a file, image or value was refused
    kExitInterrupted = 130  // Ctrl+C or SIGTERM ended a wait; the process then ends by the signal
};

// The options that apply to every command, taken from anywhere before "--"; the rest stays in order.
struct CliOptions {
    bool simulate = false;
    std::string scenario = "normal";
    std::string simState;         // --sim-state FILE
    std::optional<int> simPress;  // --sim-press CODE
    bool offline = false;
    bool trace = false;
    bool help = false;
    bool version = false;                // --version
    std::vector<std::string> arguments;  // the command and its arguments

    // Empty when the command line is sound, else what is wrong with it.
    static std::string Parse(const std::vector<std::string>& args, CliOptions& options);
};

// Takes "--name VALUE" or "--name=VALUE" out of args; the value, or nothing when the option is absent.
// A present option without a value, or with an empty one, sets error.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name,
                                      std::string& error);
// Takes the flag "--name" out of args, however often it is given; whether it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace varnoth
