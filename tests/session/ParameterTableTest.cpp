// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/ParameterTable.h"

namespace varnoth {
namespace {

TEST(ParameterTable, EveryNameReadsBackWhatItsSetterStoredAndOwnsItsStorePosition) {
    std::set<std::string> names;
    std::set<int> positions;
    for (const Parameter& param : ParameterTable()) {
        for (int index = 0; index < std::max(param.count, 1); ++index) {
            const ParameterRef ref{&param, index};
            EXPECT_TRUE(names.insert(ref.Name()).second) << "twice: " << ref.Name();
            DeviceSession session;
            EXPECT_EQ(ReadParameter(session, ref), ref.Position() == kNotStored ? 0 : ref.Default())
                << ref.Name();
            const int value = ReadParameter(session, ref) == param.max ? param.min : param.max;
            WriteParameter(session, ref, value);
            // The PEQ switches keep any non-zero value as 0x7F.
            EXPECT_EQ(ReadParameter(session, ref),
                      value != 0 && ref.Name().starts_with("PEQOn") ? 0x7F : value)
                << ref.Name();
            const std::optional<ParameterRef> found = FindParameter(ref.Name());
            ASSERT_TRUE(found.has_value()) << ref.Name();
            EXPECT_EQ(found->param, &param);
            EXPECT_EQ(found->index, index);
            if (ref.Position() != kNotStored) {
                EXPECT_TRUE(positions.insert(ref.Position()).second) << "position twice: " << ref.Name();
                const std::optional<ParameterRef> at = ParameterAt(ref.Position());
                ASSERT_TRUE(at.has_value()) << ref.Name();
                EXPECT_EQ(at->Name(), ref.Name());
            }
        }
    }
    // Every store byte but the 4 reserved ones, and the 2 mic-controls-sub values kept outside the store.
    EXPECT_EQ(positions.size(), kStoreSize - pos::kReservedBytes);
    EXPECT_EQ(names.size(), positions.size() + 2);
    for (int reserved = pos::Reserved; reserved < pos::Reserved + pos::kReservedBytes; ++reserved) {
        EXPECT_FALSE(ParameterAt(reserved).has_value()) << reserved;
        EXPECT_FALSE(StoreRegisterMap()[reserved].hasRegister);
    }
}

TEST(ParameterTable, NamesNeedTheirIndexAndNothingElse) {
    for (const char* bad : {"MicVol.0", "EffectFeedback", "EffectFeedback.2", "MicGEQ.10", "MicGEQ.-1",
                            "MicGEQ.0x1", "MicGEQ.", "MicGEQ.01x", "micvol", "", "."}) {
        EXPECT_FALSE(FindParameter(bad).has_value()) << bad;
    }
    EXPECT_TRUE(FindParameter("MicGEQ.9").has_value());
}

TEST(ParameterTable, IndexedRowsStepThroughTheirRegisters) {
    struct Case {
        const char* name;
        int position;
        int block, index, channel;
        bool stereo;
        ValueRule rule;
        int defaultValue;
    };
    const Case cases[] = {
        {"InputGain_Music", pos::InputGain_Music, 8, 4, 2, true, ValueRule::Plain, 0},
        {"CompressBoost_Music", pos::Compress_Music + pos::CompressBoost, 5, 5, 2, true, ValueRule::Plain, 0},
        {"PEQOn_Mic", pos::PEQ_Mic, 9, 0, 0, true, ValueRule::PeqSwitch, 0x40},
        {"PEQHMidQ_Music", pos::PEQ_Music + pos::PEQHMidQ, 9, 14, 2, true, ValueRule::Plain, 0x40},
        {"EffectHDamp.1", pos::Effect2 + pos::EffectHDamp, 3, 7, 1, false, ValueRule::Plain, 0},
        {"SubPhase180", pos::SubPhase180, 11, 5, 0, false, ValueRule::SubPhase, 0},
        {"MusicGEQ.9", pos::MusicGEQ + 9, 10, 9, 2, true, ValueRule::Plain, 0x40},
        {"SubGEQ.3", pos::SubGEQ + 3, 10, 3, 5, false, ValueRule::Plain, 0x40},
        {"CenterVol", pos::CenterVol, 10, 32, 4, false, ValueRule::Volume, 0},
    };
    for (const Case& c : cases) {
        const std::optional<ParameterRef> ref = FindParameter(c.name);
        ASSERT_TRUE(ref.has_value()) << c.name;
        EXPECT_EQ(ref->Position(), c.position) << c.name;
        const RegisterEntry& entry = StoreRegisterMap()[c.position];
        EXPECT_TRUE(entry.hasRegister) << c.name;
        EXPECT_EQ(entry.block, c.block) << c.name;
        EXPECT_EQ(entry.index, c.index) << c.name;
        EXPECT_EQ(entry.channel, c.channel) << c.name;
        EXPECT_EQ(entry.stereo, c.stereo) << c.name;
        EXPECT_EQ(entry.rule, c.rule) << c.name;
        EXPECT_EQ(entry.defaultValue, c.defaultValue) << c.name;
    }
    EXPECT_FALSE(StoreRegisterMap()[pos::Compress_Mic + pos::CompressPreset].hasRegister)
        << "the compressor preset is only stored";
}

TEST(ParameterTable, ValuesAreShownInTheirUnits) {
    struct Case {
        const char* name;
        std::uint8_t raw;
        int language;
        const char* shown;
    };
    const Case cases[] = {
        {"CompressThreshold_Mic", 0, 1, "-50.0dB"},
        {"CompressRatio_Music", 127, 1, "1:128"},
        {"CompressAttackTime_Mic", 60, 1, "1.0ms"},
        {"CompressBoost_Mic", 64, 1, "x4.0"},
        {"EffectHPF.0", 0, 1, "OFF"},
        {"EffectHSF.1", 64, 1, "+0.0db"},
        {"EffectDelayTime.0", 127, 1, "1365ms"},
        {"SubFrequency", 127, 1, "260Hz"},
        {"PEQLowF_Mic", 64, 1, "500Hz"},
        {"PEQHighF_Music", 127, 1, "15000Hz"},
        {"PEQLowGain_Mic", 126, 1, "+12.0dB"},
        {"PEQLMidQ_Mic", 127, 1, "20.00"},
        {"MicGEQ.0", 64, 1, "+0dB"},
        {"SubGEQ.9", 50, 1, "-14dB"},
        {"MicControlSubTime", 0, 1, "Invalid"},
        {"MicControlSubTime", 0, 0, "无效"},
        {"MicControlSubRate", 20, 1, "20%"},
        {"PEQOn_Music", 0x7F, 1, "ON"},
        {"MicVol", 36, 0, "36"},
    };
    for (const Case& c : cases) {
        const std::optional<ParameterRef> ref = FindParameter(c.name);
        ASSERT_TRUE(ref.has_value()) << c.name;
        EXPECT_EQ(ref->Shown(c.raw, c.language), c.shown) << c.name << " " << int(c.raw);
    }
}

}  // namespace
}  // namespace varnoth
