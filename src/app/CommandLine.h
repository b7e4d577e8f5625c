// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
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
    // FILE: a mode data file to load once the panel has synchronised, as the bytes of its name (which need
    // not be UTF-8); empty when none is given.
    std::string file;
    std::string qtPlatform;  // Qt's -platform NAME, passed on to Qt
    std::string qtDisplay;   // Qt's -display NAME, passed on to Qt
    std::string error;       // why the arguments cannot be used; empty when they can
};

// Reads the arguments that follow the program name.
CommandLine ParseCommandLine(std::span<const std::string> args);

std::string CommandLineUsage();

// What --help (or -h) and --version print, wherever they stand among the arguments; nothing when neither is
// given. The program answers them before it opens a window, so both work without a display.
std::optional<std::string> ImmediateAnswer(std::span<const std::string> args);

}  // namespace varnoth
