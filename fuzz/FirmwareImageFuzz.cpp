// SPDX-License-Identifier: GPL-3.0-or-later
// A firmware image file's bytes into the checks that decide whether it may be sent (its size, Intel HEX,
// text in any encoding, other kinds of file), and the device's model name and firmware date texts into the
// version check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "session/FileKind.h"
#include "session/FirmwareUpgrade.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const UpgradeResult problem = FirmwareUpgrade::ImageBytesProblem("fuzz.bin", bytes);
    // An image of a size the transfer cannot address is never accepted.
    if (problem.fault == UpgradeFault::None && !FirmwareUpgrade::ImageProblem(size).empty()) {
        std::abort();
    }
    // Text and other kinds of file are never accepted either, and every kind has a name.
    const std::optional<FileKind::Kind> kind = FileKind::Recognise(bytes);
    if (problem.fault == UpgradeFault::None && (FileKind::IsText(bytes) || kind)) {
        std::abort();
    }
    if (kind && (FileKind::Name(*kind, 0)[0] == '\0' || FileKind::Name(*kind, 1)[0] == '\0')) {
        std::abort();
    }
    if (FileKind::ByteOrderMarkSize(bytes) > size) {
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
    const int verdict = static_cast<int>(FirmwareUpgrade::CheckVersion(name, date));
    if (verdict < static_cast<int>(FirmwareCheck::ForeignModel) ||
        verdict > static_cast<int>(FirmwareCheck::Older)) {
        std::abort();
    }
    return 0;
}
