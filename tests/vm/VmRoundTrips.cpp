// SPDX-License-Identifier: GPL-3.0-or-later
// varnoth-vm-round-trips: times command and reply pairs through the kernel's HID stack, for the
// virtual-machine test's log (a figure, not a verdict).
//
//   varnoth-vm-round-trips [COUNT]
//
// Sends COUNT (default 1000) model-name requests to the amplifier that varnoth-virtual-amp presents over
// uhid, each after the previous reply, and prints "COUNT round trips in T ms". The exit status is 0 unless a
// request or its reply was lost.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "device/Opcodes.h"
#include "device/hid/HidProvider.h"
#include "device/hid/HidapiBackend.h"

namespace varnoth {
namespace {

// Empty when every reply came, else what went wrong.
std::string RoundTrips(int count) {
    HidProvider provider(std::make_shared<HidapiBackend>());
    OpenResult opened = provider.Open(kNormalIds, kUpgradeIds);
    if (!opened.transport) {
        return "no amplifier found over HID: " + opened.failure;
    }
    Report command{};
    command[0] = 2;
    command[1] = op::ReadDevName;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (opened.transport->Transfer(command) != static_cast<int>(kReportSize)) {
            return "transfer " + std::to_string(i) + " failed";
        }
        const auto reply = opened.transport->ReadOne(std::chrono::seconds(5));
        if (!reply || (*reply)[1] != op::ReadDevName) {
            return "no reply to command " + std::to_string(i);
        }
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::printf("%d round trips in %.1f ms\n", count, static_cast<double>(elapsed.count()) / 1000.0);
    return {};
}

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    const int count = argc >= 2 ? std::atoi(argv[1]) : 1000;
    if (argc > 2 || count < 1) {
        std::fprintf(stderr, "usage: varnoth-vm-round-trips [COUNT]\n");
        return 2;
    }
    const std::string failure = varnoth::RoundTrips(count);
    if (failure.empty()) {
        return 0;
    }
    std::printf("FAIL round-trips: %s\n", failure.c_str());
    return 1;
}
