#include "app/VersionCheck.h"

#include <gtest/gtest.h>

namespace varnoth::mainwin {
namespace {

TEST(FirmwareCheck, ComparesTheModelAndThenTheDateWithTheImage) {
    struct Case {
        const char* name;
        const char* date;
        int result;
    };
    const Case cases[] = {
        {"vq317x", "2011-11-28", 0},  // letter case aside, the same date
        {"VQ317X", "2011-11-27", 1}, {"VQ317X", "2012-01-01", -1},
        {"VQ421", "2011-11-28", -2},                               // the name of a device that never answered
        {"VQ317", "2011-11-28", -2}, {"VQ317X", "2011-02-30", 0},  // no calendar date: nothing is offered
        {"VQ317X", "1899-12-31", 0}, {"VQ317X", "2011/11/2x", 0},
        {"VQ317X", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirmwareCheck(c.name, c.date, "2011-11-28"), c.result) << c.name << " " << c.date;
    }
}

}  // namespace
}  // namespace varnoth::mainwin
