// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOptions.h"

#include <algorithm>

#include "cli/CliParameters.h"

namespace varnoth {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name,
                                      std::string& error) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == "--") {
            break;
        }
        if (StartsWith(*it, name + "=")) {
            std::string value = it->substr(name.size() + 1);
            args.erase(it);
            if (value.empty()) {
                error = "option " + name + " needs a value";
            }
            return value;
        }
        if (*it == name) {
            if (it + 1 == args.end()) {
                error = "option " + name + " needs a value";
                args.erase(it);
                return std::string();
            }
            std::string value = *(it + 1);
            args.erase(it, it + 2);
            if (value.empty()) {
                error = "option " + name + " needs a value";
            }
            return value;
        }
    }
    return std::nullopt;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    const auto end = std::find(args.begin(), args.end(), std::string("--"));
    const auto kept = std::remove(args.begin(), end, name);
    const bool found = kept != end;
    args.erase(kept, end);
    return found;
}

std::string CliOptions::Parse(const std::vector<std::string>& args, CliOptions& options) {
    std::vector<std::string> rest = args;
    std::string error;

    // --simulate takes its scenario only as --simulate=SCENARIO, so that a command may follow it.
    for (auto it = rest.begin(); it != rest.end() && *it != "--";) {
        if (*it == "--simulate" || StartsWith(*it, "--simulate=")) {
            options.simulate = true;
            if (it->size() > std::string("--simulate").size()) {
                options.scenario = it->substr(std::string("--simulate=").size());
            }
            it = rest.erase(it);
        } else {
            ++it;
        }
    }
    if (auto state = TakeOption(rest, "--sim-state", error)) {
        options.simState = *state;
    }
    if (auto press = TakeOption(rest, "--sim-press", error); press && error.empty()) {
        options.simPress = ParseNumber(*press);
        if (!options.simPress || *options.simPress < 0 || *options.simPress > 255) {
            error = "--sim-press takes a key code 0..255, not \"" + *press + "\"";
        }
    }
    options.offline = TakeFlag(rest, "--offline");
    options.trace = TakeFlag(rest, "--trace");
    options.help = TakeFlag(rest, "--help") || TakeFlag(rest, "-h");
    options.version = TakeFlag(rest, "--version");
    if (!error.empty()) {
        return error;
    }
    if (options.simulate && options.offline) {
        return "--simulate and --offline exclude each other";
    }
    if (!options.simulate && (!options.simState.empty() || options.simPress)) {
        return std::string(options.simState.empty() ? "--sim-press" : "--sim-state") + " needs --simulate";
    }
    if (options.simulate && options.scenario.empty()) {
        return "--simulate= needs a scenario name";
    }
    options.arguments = std::move(rest);
    return {};
}

}  // namespace varnoth
