#pragma once

#include <span>
#include <string>

namespace varnoth {

// The options of the panel program.
struct CommandLine {
    bool simulate = false;  // --simulate[=SCENARIO]: the virtual amplifier instead of USB
    std::string scenario = "normal";
    bool trace = false;              // --trace: the trace lines on stderr
    std::string screenshot;          // --screenshot FILE: save the window after the first synchronisation
    bool dialogScreenshots = false;  // --dialog-screenshots: with --screenshot, every dialog beside it
    std::string error;               // why the arguments cannot be used; empty when they can
};

// Reads the arguments that follow the program name.
CommandLine ParseCommandLine(std::span<const std::string> args);

std::string CommandLineUsage();

}  // namespace varnoth
