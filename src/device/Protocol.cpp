// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Protocol.h"

namespace varnoth::wire {

Report CommandReport(int opcode, std::initializer_list<int> args) {
    Report report{};
    report[0] = kOutputReportId;
    report[kOpcodeByte] = static_cast<std::uint8_t>(opcode);
    std::size_t next = kFirstArgByte;
    for (const int value : args) {
        if (value == -1 || next == kReportSize) {
            break;
        }
        report[next++] = static_cast<std::uint8_t>(value & 0xFF);
    }
    return report;
}

Report ReplyReport(std::uint8_t opcode) {
    Report report{};
    report[0] = kInputReportId;
    report[kOpcodeByte] = opcode;
    return report;
}

}  // namespace varnoth::wire
