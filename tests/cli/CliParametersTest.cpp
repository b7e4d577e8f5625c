#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cli/CliParameters.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

TEST(CliParameters, EveryNameReadsBackWhatItsSetterStored) {
    std::set<std::string> names;
    for (const ParameterInfo& param : Parameters()) {
        for (int index = 0; index < std::max(param.count, 1); ++index) {
            const ParameterRef ref{&param, index};
            EXPECT_TRUE(names.insert(ref.Name()).second) << "twice: " << ref.Name();
            DeviceSession session;
            const int before = param.get(session, index);
            const int value = before == param.max ? param.min : param.max;
            param.set(session, index, value);
            // The PEQ switches keep any non-zero value as 0x7F.
            EXPECT_EQ(param.get(session, index),
                      value != 0 && param.max == 127 && ref.Name().starts_with("PEQOn") ? 0x7F : value)
                << ref.Name();
            const std::optional<ParameterRef> found = FindParameter(ref.Name());
            ASSERT_TRUE(found.has_value()) << ref.Name();
            EXPECT_EQ(found->param, &param);
            EXPECT_EQ(found->index, index);
        }
    }
    // The 112 store bytes but the 4 reserved ones, the 4 master volumes, the 2 mic-controls-sub values.
    EXPECT_EQ(names.size(), 112u - 4u + 4u + 2u);
}

TEST(CliParameters, NamesNeedTheirIndexAndNothingElse) {
    for (const char* bad : {"MicVol.0", "EffectFeedback", "EffectFeedback.2", "MicGEQ.10", "MicGEQ.-1",
                            "MicGEQ.0x1", "MicGEQ.", "micvol", "", "."}) {
        EXPECT_FALSE(FindParameter(bad).has_value()) << bad;
    }
    EXPECT_TRUE(FindParameter("MicGEQ.9").has_value());
    EXPECT_EQ(ParseNumber("0x7f"), 127);
    EXPECT_EQ(ParseNumber("-3"), -3);
    for (const char* bad : {"", "0x", "12a", "+4", " 4", "1.5"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
    ASSERT_NE(FindMachineField("PowerMicVol"), nullptr);
    EXPECT_TRUE(FindMachineField("PowerMicVol")->offAllowed);
    EXPECT_EQ(FindMachineField("Lock_Everything"), nullptr);
}

}  // namespace
}  // namespace varnoth
