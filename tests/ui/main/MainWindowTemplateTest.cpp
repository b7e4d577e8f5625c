// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindowTemplate.h"

#include <gtest/gtest.h>

#include <map>

#include "ui/main/EditRules.h"
#include "ui/main/MainWindowTexts.h"

namespace varnoth::mainwin {
namespace {

std::map<int, const ControlTemplate*> ById() {
    std::map<int, const ControlTemplate*> controls;
    for (const ControlTemplate& control : MainWindowTemplate().controls) {
        if (control.id != kNoId) {
            EXPECT_TRUE(controls.emplace(control.id, &control).second) << "ID " << control.id << " twice";
        }
    }
    return controls;
}

TEST(MainWindowTemplate, HoldsEveryControlTheWindowAddressesOnceInsideTheWindow) {
    const DialogTemplate& dialog = MainWindowTemplate();
    EXPECT_EQ(dialog.number, 229);
    EXPECT_EQ(dialog.width, 579);
    EXPECT_EQ(dialog.height, 378);
    const auto controls = ById();
    for (const ControlTemplate& control : dialog.controls) {
        EXPECT_GE(control.rect.x, 0) << control.id;
        EXPECT_LE(control.rect.x + control.rect.width, dialog.width) << control.id;
        EXPECT_LE(control.rect.y + control.rect.height, dialog.height) << control.id;
    }
    for (const SliderEdit& edit : SliderEdits()) {
        ASSERT_TRUE(controls.count(edit.id)) << edit.id;
        EXPECT_EQ(controls.at(edit.id)->kind, ControlKind::Trackbar) << edit.id;
        ASSERT_TRUE(controls.count(edit.valueLabel)) << edit.valueLabel;
        EXPECT_EQ(controls.at(edit.valueLabel)->kind, ControlKind::Label) << edit.valueLabel;
    }
    for (const Tooltip& tip : Tooltips()) {
        EXPECT_TRUE(controls.count(tip.id)) << "tooltip of " << tip.id;
    }
    for (int id = kLoadModeButton; id < kSaveModeButton + kModes; ++id) {
        EXPECT_TRUE(controls.count(id)) << id;
    }
}

TEST(MainWindowTemplate, VerticalSlidersAreTheChannelEffectAndSubwooferOnes) {
    const auto controls = ById();
    for (int id = kFirstStepSlider; id <= kLastStepSlider; ++id) {
        const bool horizontal = id >= kThresholdSlider && id <= kBoostSlider;
        EXPECT_EQ((controls.at(id)->style & kVertical) == 0, horizontal) << id;
    }
    EXPECT_EQ(controls.at(kMicVolSlider)->style & kVertical, 0u);
}

TEST(MainWindowTemplate, HiddenAreTheSettingsButtonTheValueDisplayBoxAndTheFactoryEqButton) {
    for (const ControlTemplate& control : MainWindowTemplate().controls) {
        const bool hidden =
            control.id == kSettingsButton || control.id == kRawValuesBox || control.id == kDefaultEqButton;
        EXPECT_EQ((control.style & kHidden) != 0, hidden) << control.id;
    }
}

TEST(MainWindowTexts, PresetListsHaveTheirNamesInBothLanguages) {
    ASSERT_EQ(EffectPresetNames().size(), 28u);
    ASSERT_EQ(CompressorPresetNames().size(), 9u);
    EXPECT_STREQ(EffectPresetNames()[0].In(0), "0: 关闭");
    EXPECT_STREQ(EffectPresetNames()[27].In(1), "27: Spring Reverb");
    EXPECT_STREQ(EffectPresetNames()[26].In(0), "26: 双声三连声回声");
    EXPECT_STREQ(CompressorPresetNames()[0].In(1), "CP:User Defined Mode");
    EXPECT_STREQ(CompressorPresetNames()[5].In(0), "5: 压缩 5: -24dB 12:1");
    EXPECT_STREQ(EqPageTitle(3, 1), "SUB EQ");
    EXPECT_STREQ(EqPageTitle(0, 0), "中置总均衡");
    EXPECT_EQ(EqPageTitle(4, 0), nullptr);
    EXPECT_STREQ(VolumeLockedNotice(kMicVolSlider, 1), "Mic vol locked!");
    EXPECT_STREQ(VolumeLockedNotice(kMusicVolSlider, 0), "音乐音量已锁定!");
    EXPECT_EQ(VolumeLockedNotice(kCenterVolSlider, 1), nullptr);
}

}  // namespace
}  // namespace varnoth::mainwin
