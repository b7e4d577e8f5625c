#include "app/CommandLine.h"

#include <string_view>

namespace varnoth {

namespace {

constexpr std::string_view kSimulate = "--simulate";
constexpr std::string_view kScreenshot = "--screenshot";
constexpr std::string_view kTrace = "--trace";

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (arg == kTrace) {
            result.trace = true;
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
    return "usage: varnoth [--simulate[=SCENARIO]] [--screenshot FILE] [--trace]\n"
           "  --simulate[=SCENARIO]  connect to the virtual amplifier (default scenario: normal);\n"
           "                         F9 unplugs and plugs it again\n"
           "  --screenshot FILE      save the main window as PNG after the first synchronisation (or as it\n"
           "                         stands when none has ended within 10 s), then end; exit status 1\n"
           "                         when no picture could be saved\n"
           "  --trace                print the trace lines on stderr\n";
}

}  // namespace varnoth
