// SPDX-License-Identifier: GPL-3.0-or-later
// The file list of a drop onto the window (text/uri-list), as another program offers it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/main/DroppedFiles.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view list(reinterpret_cast<const char*>(data), size);
    for (const std::string& path : LocalFilesOfUriList(list)) {
        // Every file named is an absolute local path that the file system can take, never longer than the
        // list that named it.
        if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos ||
            path.size() > size) {
            std::abort();
        }
    }
    return 0;
}
