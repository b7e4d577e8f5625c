// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SessionHarness.h"

namespace varnoth {
namespace {

using test::SessionHarness;

// One report as a line of the golden trace: its bytes in hex up to the last one that is not zero.
std::string TraceLine(const Report& report) {
    std::size_t end = report.size();
    while (end > 0 && report[end - 1] == 0) {
        --end;
    }
    std::string line;
    for (std::size_t i = 0; i < end; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%s%02x", i == 0 ? "" : " ", report[i]);
        line += byte;
    }
    return line;
}

std::vector<std::string> GoldenTrace() {
    std::ifstream file(VARNOTH_WHOLE_SET_TRACE);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

// The whole-set write and read put on the wire exactly the reports of the golden trace, in its order: the
// write of a store whose position p holds (7p + 3) mod 128 (so that each write shows which position it
// came from and how its value was encoded), then the read. A failure names the first report that differs
// and prints the whole trace the code sends now.
TEST(WholeSetTrace, TheWriteAllAndTheReadAllSendTheGoldenTrace) {
    SessionHarness h;
    ASSERT_TRUE(h.Connect());
    DeviceSession& s = *h.session;
    for (std::size_t position = 0; position < kStoreSize; ++position) {
        s.Store().StoreValue(position, static_cast<std::uint8_t>((7 * position + 3) % 128));
    }
    s.Store().WriteAllRegisters(1);
    s.Store().ReadAllRegisters();

    std::vector<std::string> sent;
    for (const Report& report : h.wire->Sent()) {
        sent.push_back(TraceLine(report));
    }
    const std::vector<std::string> golden = GoldenTrace();
    std::size_t first = 0;
    while (first < sent.size() && first < golden.size() && sent[first] == golden[first]) {
        ++first;
    }
    if (first == sent.size() && first == golden.size()) {
        return;
    }
    std::ostringstream now;
    for (const std::string& line : sent) {
        now << line << "\n";
    }
    ADD_FAILURE() << "report " << first + 1 << " of " << sent.size() << " sent ("
                  << (first < sent.size() ? sent[first] : "none") << ") differs from the golden trace's ("
                  << (first < golden.size() ? golden[first] : "none") << ", of " << golden.size() << " in "
                  << VARNOTH_WHOLE_SET_TRACE << "); the code sends now:\n"
                  << now.str();
}

}  // namespace
}  // namespace varnoth
