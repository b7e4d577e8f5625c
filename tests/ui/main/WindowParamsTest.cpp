// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/RegisterMap.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {
namespace {

// Every parameter a control of the window is bound to, both twins of a path's: the layout's slots, the
// parametric bands' fields and the graphic EQ pages' bands.
std::vector<ParameterRef> BoundParameters() {
    std::vector<ParameterRef> bound;
    const auto add = [&](const ParameterRef& parameter) {
        for (const bool micView : {true, false}) {
            const ParameterRef shown = OnPath(parameter, micView);
            if (std::find(bound.begin(), bound.end(), shown) == bound.end()) {
                bound.push_back(shown);
            }
        }
    };
    for (const SliderSlot& slot : SliderSlots()) {
        add(Named(slot.parameter));
    }
    for (const ControlSlot& slot : ControlSlots()) {
        add(Named(slot.parameter));
    }
    for (int band = 0; PeqBand(band) != nullptr; ++band) {
        add(PeqBand(band)->gain);
        add(PeqBand(band)->freq);
        if (PeqBand(band)->q) {
            add(*PeqBand(band)->q);
        }
    }
    for (int page = 0; GraphicBankName(page) != nullptr; ++page) {
        for (int band = 0; band < kGraphicBands; ++band) {
            add(*GraphicBandParameter(page, band));
        }
    }
    return bound;
}

TEST(WindowParams, APathParameterShowsItsMusicTwinInMusicView) {
    for (const ParameterRef& parameter : AllParameters()) {
        const std::string name = parameter.Name();
        const ParameterRef mic = OnPath(parameter, true);
        const ParameterRef music = OnPath(parameter, false);
        if (parameter.param->path == ParamPath::None) {
            EXPECT_TRUE(mic == parameter && music == parameter) << name << " is shared by both views";
            continue;
        }
        EXPECT_EQ(mic.param->path, ParamPath::Mic) << name << " has no microphone twin";
        EXPECT_EQ(music.param->path, ParamPath::Music) << name << " has no music twin";
        const std::string micName = mic.Name();
        ASSERT_TRUE(micName.ends_with("_Mic")) << name;
        EXPECT_EQ(music.Name(), micName.substr(0, micName.size() - 4) + "_Music") << name;
        EXPECT_TRUE(OnPath(music, true) == mic) << "either twin names the pair: " << name;
    }
}

// Every row the table puts into a frame of the window (any group but Hidden) is bound to a control: a new
// shown parameter fails here, by its name, until a slot of the layout names it.
TEST(WindowParams, TheWindowShowsEveryRowTheTablePutsIntoAFrame) {
    const std::vector<ParameterRef> bound = BoundParameters();
    for (const ParameterRef& parameter : AllParameters()) {
        const bool shown = std::find(bound.begin(), bound.end(), parameter) != bound.end();
        if (parameter.Group() != ParamGroup::Hidden) {
            EXPECT_TRUE(shown)
                << parameter.Name()
                << " sits in a frame of the window, but no slot of the window's layout names it";
        } else {
            EXPECT_FALSE(shown) << parameter.Name() << " is bound to a control, but its row hides it";
        }
    }
}

// Writing one parameter changes that parameter and no other, and reads back as written; the exceptions are
// the parameters whose setter stores a value of its own or sets other fields too.
TEST(WindowParams, AWriteChangesItsOwnParameterOnly) {
    constexpr std::uint8_t kWritten = 5;
    const std::vector<ParameterRef> bound = BoundParameters();
    for (const ParameterRef& parameter : bound) {
        const std::string name = parameter.Name();
        DeviceSession session;
        std::vector<std::uint8_t> before;
        for (const ParameterRef& other : bound) {
            before.push_back(ReadValue(session, other));
        }
        WriteParameter(session, parameter, kWritten);
        std::uint8_t expected = kWritten;
        if (name.starts_with("PEQOn_")) {
            expected = 0x7F;
        } else if (name == "SubPhase180") {
            expected = 1;
        }
        EXPECT_EQ(ReadValue(session, parameter), expected) << name;
        // A compressor preset loads its row: the five values of its own path.
        std::vector<ParameterRef> alsoChanged;
        if (parameter.param->access == ParamAccess::CompressorPreset) {
            for (const char* row : {"CompressThreshold_Mic", "CompressRatio_Mic", "CompressAttackTime_Mic",
                                    "CompressReleaseTime_Mic", "CompressBoost_Mic"}) {
                alsoChanged.push_back(OnPath(Named(row), parameter.param->path == ParamPath::Mic));
            }
        }
        for (std::size_t j = 0; j < bound.size(); ++j) {
            const ParameterRef& other = bound[j];
            if (other == parameter ||
                std::find(alsoChanged.begin(), alsoChanged.end(), other) != alsoChanged.end()) {
                continue;
            }
            EXPECT_EQ(ReadValue(session, other), before[j])
                << "writing " << name << " changed " << other.Name();
        }
    }
}

TEST(WindowParams, PeqBandsListTheirFieldsAndGraphicPagesTheirBanks) {
    ASSERT_NE(PeqBand(0), nullptr);
    EXPECT_FALSE(PeqBand(0)->q.has_value()) << "the low shelf has no Q";
    EXPECT_EQ(PeqBand(1)->q->Name(), "PEQLMidQ_Mic");
    EXPECT_EQ(PeqBand(2)->freq.Name(), "PEQHMidF_Mic");
    EXPECT_EQ(PeqBand(3)->gain.Name(), "PEQHighGain_Mic");
    EXPECT_FALSE(PeqBand(3)->q.has_value()) << "the high shelf has no Q";
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
        EXPECT_EQ(ReadValue(session, OnPath(Named("CompressThreshold_Mic"), micView)), 8) << "row 5 loaded";
        WriteParameter(session, OnPath(Named("CompressBoost_Mic"), micView), 77);
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
