// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>

#ifndef VARNOTH_VERSION
#define VARNOTH_VERSION "unknown"
#endif

namespace varnoth {

namespace {

constexpr std::string_view kSimulate = "--simulate";
constexpr std::string_view kScreenshot = "--screenshot";
constexpr std::string_view kTrace = "--trace";
constexpr std::string_view kDialogScreenshots = "--dialog-screenshots";

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (arg == kTrace) {
            result.trace = true;
        } else if (arg == kDialogScreenshots) {
            result.dialogScreenshots = true;
        } else if (arg == kSimulate) {
            result.simulate = true;
        } else if (arg.starts_with(kSimulate) && arg[kSimulate.size()] == '=') {
            result.simulate = true;
            result.scenario = arg.substr(kSimulate.size() + 1);
            if (result.scenario.empty()) {
                result.error = "--simulate= needs a scenario name";
            }
        } else if (arg == kScreenshot) {
            if (i + 1 == args.size()) {
                result.error = "--screenshot needs a file name";
            } else {
                result.screenshot = args[++i];
            }
        } else if (arg.starts_with(kScreenshot) && arg[kScreenshot.size()] == '=') {
            result.screenshot = arg.substr(kScreenshot.size() + 1);
            if (result.screenshot.empty()) {
                result.error = "--screenshot= needs a file name";
            }
        } else {
            result.error = "unknown argument \"" + std::string(arg) + "\"";
        }
    }
    return result;
}

std::string CommandLineUsage() {
    return "Usage: varnoth [--simulate[=SCENARIO]] [--screenshot FILE [--dialog-screenshots]] [--trace]\n"
           "Opens the control panel of the karaoke amplifier attached over USB, or of the virtual "
           "amplifier.\n"
           "\n"
           "Options:\n"
           "  --simulate[=SCENARIO]  connect to the virtual amplifier (default scenario: normal);\n"
           "                         F9 unplugs and plugs it again\n"
           "  --screenshot FILE      save the main window as PNG after the first synchronisation (or as it\n"
           "                         stands when none has ended within 10 s), then end; exit status 1\n"
           "                         when no picture could be saved\n"
           "  --dialog-screenshots   with --screenshot, also save every dialog as FILE-NAME.png\n"
           "  --trace                print the trace lines on stderr (so does VARNOTH_TRACE=1)\n"
           "  -h, --help             print this text and end\n"
           "  --version              print the version and end\n";
}

std::optional<std::string> ImmediateAnswer(std::span<const std::string> args) {
    const auto given = [&](std::string_view option) {
        return std::find(args.begin(), args.end(), option) != args.end();
    };
    if (given("--help") || given("-h")) {
        return CommandLineUsage();
    }
    if (given("--version")) {
        return "varnoth " VARNOTH_VERSION "\n";
    }
    return std::nullopt;
}

}  // namespace varnoth
