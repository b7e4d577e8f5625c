// SPDX-License-Identifier: GPL-3.0-or-later
// A firmware image file's bytes into the checks that decide whether it may be sent, and the device's model
// name and firmware date texts into the version check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "session/FirmwareUpgrade.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const UpgradeResult problem = FirmwareUpgrade::ImageBytesProblem("fuzz.bin", bytes);
    // An image of a size the transfer cannot address is never accepted.
    if (problem.fault == UpgradeFault::None && !FirmwareUpgrade::ImageProblem(size).empty()) {
        std::abort();
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t split = text.find('\n');
    const std::string name = text.substr(0, split);
    const std::string date = split == std::string::npos ? text : text.substr(split + 1);
    if (const auto parsed = FirmwareUpgrade::ParseDeviceDate(date)) {
        volatile std::size_t sink = FirmwareUpgrade::DateText(*parsed).size();
        (void)sink;
    }
    const int verdict = FirmwareUpgrade::IsNeedUp(name, date);
    if (verdict < FirmwareUpgrade::kForeignModel || verdict > FirmwareUpgrade::kOlder) {
        std::abort();
    }
    return 0;
}
