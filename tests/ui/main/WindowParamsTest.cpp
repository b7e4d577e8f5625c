// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowParams.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "session/DeviceSession.h"
#include "session/RegisterMap.h"

namespace varnoth::mainwin {
namespace {

std::string Name(Param param) {
    return ParamName(param);
}

TEST(WindowParams, EachPathParameterHasItsMusicTwinRightAfterIt) {
    for (int i = 0; i < kParamCount; ++i) {
        const auto param = static_cast<Param>(i);
        const std::string name = Name(param);
        if (!IsPathParam(param)) {
            EXPECT_EQ(OnPath(param, false), param) << name << " is shared by both views";
            continue;
        }
        const Param mic = OnPath(param, true);
        const Param music = OnPath(param, false);
        const std::string micName = Name(mic);
        ASSERT_EQ(micName.substr(micName.size() - 4), "_Mic") << name;
        EXPECT_EQ(Name(music), micName.substr(0, micName.size() - 4) + "_Music") << name;
        EXPECT_EQ(OnPath(music, true), mic) << "either twin names the pair";
    }
}

// The window's parameters are rows of the parameter table, and every row the table puts into a frame of the
// window (any group but Hidden) is one of them or a graphic EQ band: the window shows every such row.
TEST(WindowParams, TheWindowShowsEveryRowTheTablePutsIntoAFrame) {
    std::set<std::string> shown;
    for (int i = 0; i < kParamCount; ++i) {
        const auto param = static_cast<Param>(i);
        EXPECT_EQ(Ref(param).Name(), Name(param)) << "the window's name is the table's";
        shown.insert(Name(param));
    }
    for (int page = 0; page < 4; ++page) {
        for (int band = 0; band < kGraphicBands; ++band) {
            shown.insert(GraphicBandParameter(page, band)->Name());
        }
    }
    for (const ParameterRef& ref : AllParameters()) {
        if (ref.Group() != ParamGroup::Hidden) {
            EXPECT_TRUE(shown.count(ref.Name())) << ref.Name() << " sits in a frame the window does not show";
        }
    }
}

// Writing one parameter changes that parameter and no other, and reads back as written; the exceptions are
// the parameters whose setter stores a value of its own or sets other fields too.
TEST(WindowParams, AWriteChangesItsOwnParameterOnly) {
    constexpr std::uint8_t kWritten = 5;
    for (int i = 0; i < kParamCount; ++i) {
        const auto param = static_cast<Param>(i);
        DeviceSession session;
        std::uint8_t before[kParamCount];
        for (int j = 0; j < kParamCount; ++j) {
            before[j] = ReadParam(session, static_cast<Param>(j));
        }
        WriteParam(session, param, kWritten);
        std::uint8_t expected = kWritten;
        if (param == Param::PEQOn_Mic || param == Param::PEQOn_Music) {
            expected = 0x7F;
        } else if (param == Param::SubPhase180) {
            expected = 1;
        }
        EXPECT_EQ(ReadParam(session, param), expected) << Name(param);
        // A compressor preset loads its row: the five values of its own path.
        std::set<Param> alsoChanged;
        if (param == Param::CompressPreset_Mic || param == Param::CompressPreset_Music) {
            const bool mic = param == Param::CompressPreset_Mic;
            for (const Param row :
                 {Param::CompressThreshold_Mic, Param::CompressRatio_Mic, Param::CompressAttackTime_Mic,
                  Param::CompressReleaseTime_Mic, Param::CompressBoost_Mic}) {
                alsoChanged.insert(OnPath(row, mic));
            }
        }
        for (int j = 0; j < kParamCount; ++j) {
            const auto other = static_cast<Param>(j);
            if (other == param || alsoChanged.count(other)) {
                continue;
            }
            EXPECT_EQ(ReadParam(session, other), before[j])
                << "writing " << Name(param) << " changed " << Name(other);
        }
    }
}

TEST(WindowParams, PeqBandsListTheirFieldsAndGraphicPagesTheirBanks) {
    ASSERT_NE(PeqBand(0), nullptr);
    EXPECT_EQ(PeqBand(0)->q, Param::Count) << "the low shelf has no Q";
    EXPECT_EQ(PeqBand(1)->q, Param::PEQLMidQ_Mic);
    EXPECT_EQ(PeqBand(2)->freq, Param::PEQHMidF_Mic);
    EXPECT_EQ(PeqBand(3)->gain, Param::PEQHighGain_Mic);
    EXPECT_EQ(PeqBand(4), nullptr);
    EXPECT_EQ(PeqBand(-1), nullptr);

    DeviceSession session;
    WriteGraphicBand(session, 0, 9, 70);
    WriteGraphicBand(session, 1, 0, 71);
    WriteGraphicBand(session, 2, 4, 72);
    WriteGraphicBand(session, 3, 5, 73);
    WriteGraphicBand(session, 4, 5, 74);
    WriteGraphicBand(session, 1, 10, 75);
    EXPECT_EQ(session.Store().Value(pos::CenterGEQ + 9), 70);
    EXPECT_EQ(session.Store().Value(pos::MicGEQ + 0), 71);
    EXPECT_EQ(session.Store().Value(pos::MusicGEQ + 4), 72);
    EXPECT_EQ(session.Store().Value(pos::SubGEQ + 5), 73);
    EXPECT_EQ(ReadGraphicBand(session, 3, 5), 73);
    EXPECT_EQ(ReadGraphicBand(session, 4, 5), 0) << "no page 4";
    EXPECT_EQ(ReadGraphicBand(session, 1, 10), 0) << "no band 10";
}

TEST(WindowParams, TheUserDefinedCompressorPresetKeepsTheCompressorValues) {
    for (const bool micView : {true, false}) {
        DeviceSession session;
        ChooseCompressorPreset(session, micView, 5);
        EXPECT_EQ(ReadParam(session, OnPath(Param::CompressThreshold_Mic, micView)), 8) << "row 5 loaded";
        WriteParam(session, OnPath(Param::CompressBoost_Mic, micView), 77);
        const auto before = session.Store().GetFileBlock();
        ChooseCompressorPreset(session, micView, kUserDefinedPreset);
        auto expected = before;
        expected[micView ? pos::Compress_Mic + pos::CompressPreset
                         : pos::Compress_Music + pos::CompressPreset] = 0;
        EXPECT_EQ(session.Store().GetFileBlock(), expected) << "only the preset number changes";
    }
}

}  // namespace
}  // namespace varnoth::mainwin
