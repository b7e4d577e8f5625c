// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of a mode data file into the checks of a load and, when they pass, into the session.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/ModeDataCheck.h"
#include "files/ModeDataFile.h"
#include "session/DeviceSession.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static DeviceSession* session = new DeviceSession();
    ModeDataFile::Image image{};
    const ModeDataFile::Result result =
        ModeDataFile::ParseBytes(data, size, "fuzz.vqm", image, static_cast<int>(size % 2));
    if (!result.ok) {
        // A refusal always says why.
        if (result.message.empty()) {
            std::abort();
        }
        return 0;
    }
    if (size != ModeDataFile::kSize || ModeDataCheck::FirstFault(image)) {
        std::abort();
    }
    ModeDataFile::Apply(*session, image);
    // The parameter block reaches the store as it stands in the file.
    const auto block = session->Store().GetFileBlock();
    if (!std::equal(block.begin(), block.end(), data)) {
        std::abort();
    }
    return 0;
}
