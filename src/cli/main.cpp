// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return varnoth::RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
