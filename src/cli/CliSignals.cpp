// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSignals.h"

#include <csignal>

namespace varnoth {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

void InstallInterruptHandler() {
    std::signal(SIGINT, OnInterrupt);
    // Ended from outside (logout, kill): the command stops the same way and says goodbye to the device.
    std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() {
    return g_interrupted != 0;
}

}  // namespace varnoth
