// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoth {
namespace {

TEST(Trace, FormatsLinesIntoTheInstalledSinkAndIsSilentWithoutOne) {
    std::vector<std::string> lines;
    const TraceSink previous = SetTraceSink([&](const std::string& line) { lines.push_back(line); });
    Trace(">Write: %d %d \n", 2, 97);
    SetTraceSink({});
    Trace("dropped\n");
    SetTraceSink(previous);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], ">Write: 2 97 \n");
}

}  // namespace
}  // namespace varnoth
