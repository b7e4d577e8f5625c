// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/EditRules.h"

#include <gtest/gtest.h>

#include "SessionHarness.h"
#include "session/DeviceSession.h"
#include "session/MachineSettings.h"
#include "session/ParameterTable.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {
namespace {

struct PositionCase {
    int id;
    int position;
    int value;
    const char* why;
};

TEST(SliderRules, PositionsBecomeValuesByTheRuleOfEachSlider) {
    const PositionCase cases[] = {
        {kGainSlider, 0, 127, "a vertical slider at its top gives the largest value"},
        {kGainSlider, 127, 0, "and at its bottom 0"},
        {kThresholdSlider, 0, 0, "horizontal compressor sliders give their position"},
        {kThresholdSlider, 100, 100, ""},
        {kEffect1SendSlider + 1, 27, 100, "effect sliders give 127 - p"},
        {kSubTimeSlider, 255, 0, "the sub time slider at its bottom switches mic-controls-sub off"},
        {kSubTimeSlider, 0, 255, ""},
        {kSubRateSlider, 0, 99, "the rate slider ends at 99"},
        {kMicVolSlider, 20, 20, "master volumes give their position"},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.why);
        const SliderEdit* edit = FindSliderEdit(c.id);
        ASSERT_NE(edit, nullptr) << c.id;
        EXPECT_EQ(SliderValue(edit->rule, SliderMaximum(*edit), c.position), c.value)
            << c.id << " at " << c.position;
    }
}

TEST(SliderRules, EveryPositionOfEverySliderShowsTheValueItWrites) {
    for (const SliderEdit& edit : SliderEdits()) {
        const int maximum = SliderMaximum(edit);
        for (int p = 0; p <= maximum; ++p) {
            const int value = SliderValue(edit.rule, maximum, p);
            ASSERT_EQ(SliderPosition(edit.rule, maximum, value), p) << "slider " << edit.id;
        }
    }
}

TEST(SliderRules, EverySlotOfTheLayoutIsASliderBoundToTheParameterItNames) {
    ASSERT_EQ(SliderEdits().size(), SliderSlots().size());
    for (std::size_t i = 0; i < SliderSlots().size(); ++i) {
        const SliderSlot& slot = SliderSlots()[i];
        const SliderEdit& edit = SliderEdits()[i];
        EXPECT_EQ(edit.parameter.Name(), slot.parameter);
        EXPECT_EQ(edit.id, slot.slider.id) << slot.parameter;
        EXPECT_EQ(edit.valueLabel, slot.valueLabel.id) << slot.parameter;
        EXPECT_EQ(edit.nameLabel, slot.nameLabel.id) << slot.parameter;
        EXPECT_EQ(FindSliderEdit(edit.id), &edit) << slot.parameter;
    }
    EXPECT_EQ(FindSliderEdit(kGraphicPanel), nullptr);
}

TEST(VolumeLocks, OnlyTheMicAndMusicVolumesLockAndOnlyWithTheLockFunctionOn) {
    struct Case {
        int enable;
        int micBit;
        int musicBit;
        bool mic, music;
    };
    const Case cases[] = {
        {0, 1, 1, false, false},
        {1, 1, 0, true, false},
        {1, 0, 1, false, true},
        {1, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        test::SessionHarness h;
        ASSERT_TRUE(h.Connect());
        MachineSettings& machine = h.session->GetMachineSet();
        machine.Set(MachineField::EnableLockFunc, c.enable);
        machine.Set(MachineField::Lock_MicVol, c.micBit);
        machine.Set(MachineField::Lock_MusicVol, c.musicBit);
        machine.ApplyMachineSet();  // the saved copy, what the device got, is what counts
        SCOPED_TRACE(testing::Message() << "enable " << c.enable << " bits " << c.micBit << c.musicBit);
        EXPECT_EQ(VolumeLocked(machine, kMicVolSlider), c.mic);
        EXPECT_EQ(VolumeLocked(machine, kMusicVolSlider), c.music);
        EXPECT_FALSE(VolumeLocked(machine, kCenterVolSlider));
        EXPECT_FALSE(VolumeLocked(machine, kSubVolSlider));
    }
}

TEST(VolumeLocks, TheWorkingCopyAloneLocksNothing) {
    DeviceSession session;
    MachineSettings& machine = session.GetMachineSet();
    machine.Set(MachineField::EnableLockFunc, 1);
    machine.Set(MachineField::Lock_MicVol, 1);
    EXPECT_FALSE(VolumeLocked(machine, kMicVolSlider));
}

TEST(MicControlSubBox, DependsOnTheStoredTimeNotOnTheBox) {
    struct Case {
        std::uint8_t time, rate, sentTime, sentRate;
    };
    const Case cases[] = {
        {0, 0, 10, 20},   // on, with the default rate
        {10, 20, 0, 20},  // off, the rate kept
        {0, 35, 10, 35},  // on again, the stored rate restored
        {255, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const MicControlSubSetting sent = ToggledMicControlSub(c.time, c.rate);
        EXPECT_EQ(sent.time, c.sentTime) << int{c.time} << "/" << int{c.rate};
        EXPECT_EQ(sent.rate, c.sentRate) << int{c.time} << "/" << int{c.rate};
    }
}

TEST(EditRules, EverySliderRunsOverItsParametersWholeRange) {
    for (const SliderEdit& edit : SliderEdits()) {
        EXPECT_EQ(edit.parameter.param->min, 0) << edit.parameter.Name();
    }
}

}  // namespace
}  // namespace varnoth::mainwin
