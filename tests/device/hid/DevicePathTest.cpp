// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/hid/DevicePath.h"

namespace varnoth {
namespace {

TEST(SameDevicePath, IgnoresLetterCaseButNothingElse) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"/dev/hidraw3", "/dev/hidraw3", true},
        {"/dev/hidraw3", "/DEV/HIDRAW3", true},
        {R"(\\?\hid#vid_2010&pid_1108#7&1a2b&0&0000#{4d1e55b2})",
         R"(\\?\HID#VID_2010&PID_1108#7&1A2B&0&0000#{4D1E55B2})", true},
        {"/dev/hidraw3", "/dev/hidraw30", false},
        {"/dev/hidraw30", "/dev/hidraw3", false},
        {"/dev/hidraw3", "/dev/hidraw4", false},
        {"", "", true},
        {"", "/dev/hidraw3", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameDevicePath(c.a, c.b), c.same) << "'" << c.a << "' vs '" << c.b << "'";
    }
}

}  // namespace
}  // namespace varnoth
