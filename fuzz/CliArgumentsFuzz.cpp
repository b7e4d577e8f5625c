// SPDX-License-Identifier: GPL-3.0-or-later
// A command line of varnoth-cli (arguments separated by NUL bytes) into the option parser, and each
// argument into the parsers of parameter names, machine-setting names and values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliParameters.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    CliOptions options;
    CliOptions::Parse(args, options);
    std::vector<std::string> rest = options.arguments;
    std::string optionError;
    TakeOption(rest, "--timeout", optionError);
    TakeFlag(rest, "--force");
    for (const std::string& arg : args) {
        if (const auto ref = FindParameter(arg)) {
            volatile int sink =
                ref->Position() + ref->Registers().index + static_cast<int>(ref->Name().size());
            (void)sink;
        }
        if (const auto number = ParseNumber(arg)) {
            volatile int sink = *number;
            (void)sink;
        }
        volatile bool known = FindMachineField(arg) != nullptr;
        (void)known;
    }
    return 0;
}
