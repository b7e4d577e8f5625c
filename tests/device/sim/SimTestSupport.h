// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "device/Transport.h"

namespace varnoth::test {

// An output report: report ID 2, the opcode, the arguments, zeros after them.
inline Report Command(std::uint8_t opcode, std::initializer_list<int> args = {}) {
    Report r{};
    r[0] = 2;
    r[1] = opcode;
    std::size_t at = 2;
    for (int a : args) {
        r[at++] = static_cast<std::uint8_t>(a);
    }
    return r;
}

// Sends a command and returns the reply that comes back, failing the test when none does.
inline Report Exchange(Transport& link, const Report& command) {
    EXPECT_EQ(link.Transfer(command), 61) << "opcode " << int{command[1]};
    const std::optional<Report> reply = link.ReadOne(std::chrono::seconds(10));
    EXPECT_TRUE(reply.has_value()) << "no reply to opcode " << int{command[1]};
    return reply.value_or(Report{});
}

}  // namespace varnoth::test
