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
}

bool Interrupted() {
    return g_interrupted != 0;
}

}  // namespace varnoth
