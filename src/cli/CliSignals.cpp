// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSignals.h"

#include <csignal>

namespace varnoth {
namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void OnInterrupt(int signalNumber) {
    g_signal = signalNumber;
}

}  // namespace

void InstallInterruptHandler() {
    std::signal(SIGINT, OnInterrupt);
    // Ended from outside (logout, kill): the command stops the same way and says goodbye to the device.
    std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() {
    return g_signal != 0;
}

void EndByInterruptSignal() {
    const int signalNumber = g_signal;
    if (signalNumber == 0) {
        return;
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace varnoth
