// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliSignals.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    int code = varnoth::RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
    // Output that never arrived (a full disk, a closed pipe) is a failure, however the command went.
    errno = 0;
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    if (!flushed || !std::cout || std::ferror(stdout) != 0) {
        const int error = errno;
        std::cerr << "varnoth-cli: cannot write to standard output"
                  << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
        if (code == varnoth::kExitDone) {
            code = varnoth::kExitBadInput;
        }
    }
    // Interrupted: the cleanup is done, and the process ends by the signal itself.
    varnoth::EndByInterruptSignal();
    return code;
}
