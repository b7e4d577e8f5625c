// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "cli/CliParameters.h"

namespace varnoth {
namespace {

TEST(CliParameters, NumbersAreDecimalOrHexadecimalAndMachineFieldsAreFoundByName) {
    EXPECT_EQ(ParseNumber("0x7f"), 127);
    EXPECT_EQ(ParseNumber("-3"), -3);
    for (const char* bad : {"", "0x", "12a", "+4", " 4", "1.5"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
    ASSERT_NE(FindMachineField("PowerMicVol"), nullptr);
    EXPECT_TRUE(FindMachineField("PowerMicVol")->OffAllowed());
    EXPECT_EQ(FindMachineField("Lock_Everything"), nullptr);
}

}  // namespace
}  // namespace varnoth
