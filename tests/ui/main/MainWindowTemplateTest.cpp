// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindowTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string_view>

#include "session/ParameterTable.h"
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
    for (const Tooltip& tip : Tooltips()) {
        EXPECT_TRUE(controls.count(tip.id)) << "tooltip of " << tip.id;
    }
    for (int id = kLoadModeButton; id < kSaveModeButton + kModes; ++id) {
        EXPECT_TRUE(controls.count(id)) << id;
    }
}

// A slider is one slot of the layout: a slot that misses a part, names a parameter the table lacks or one the
// window does not show, fails here by the parameter's name.
TEST(MainWindowTemplate, EverySliderSlotIsComplete) {
    const auto controls = ById();
    for (const SliderSlot& slot : SliderSlots()) {
        SCOPED_TRACE(slot.parameter);
        const std::optional<ParameterRef> parameter = FindParameter(slot.parameter);
        ASSERT_TRUE(parameter.has_value()) << "the slot names a parameter the table does not have";
        EXPECT_NE(parameter->Group(), ParamGroup::Hidden) << "the slot shows a parameter its row hides";
        EXPECT_NE(parameter->param->path, ParamPath::Music) << "a path's slot names the microphone twin";
        const struct {
            const SlotPart& part;
            ControlKind kind;
            const char* what;
        } parts[] = {{slot.slider, ControlKind::Trackbar, "slider"},
                     {slot.valueLabel, ControlKind::Label, "value label"},
                     {slot.nameLabel, ControlKind::Label, "name label"}};
        for (const auto& [part, kind, what] : parts) {
            ASSERT_NE(part.id, kNoId) << "the slot has no " << what;
            EXPECT_GT(part.rect.width, 0) << "the " << what << " has no size";
            EXPECT_GT(part.rect.height, 0) << "the " << what << " has no size";
            ASSERT_TRUE(controls.count(part.id)) << "the window lacks the " << what;
            EXPECT_EQ(controls.at(part.id)->kind, kind) << "the " << what;
        }
        for (const int language : {0, 1}) {
            EXPECT_STRNE(parameter->Caption(language), "") << "the name label has no caption in " << language;
        }
        EXPECT_STREQ(controls.at(slot.nameLabel.id)->caption, parameter->Caption(1));
    }
}

TEST(MainWindowTemplate, EveryBoxOrListSlotNamesAShownParameterTheWindowHas) {
    const auto controls = ById();
    for (const ControlSlot& slot : ControlSlots()) {
        SCOPED_TRACE(slot.parameter);
        const std::optional<ParameterRef> parameter = FindParameter(slot.parameter);
        ASSERT_TRUE(parameter.has_value()) << "the slot names a parameter the table does not have";
        EXPECT_NE(parameter->Group(), ParamGroup::Hidden);
        EXPECT_NE(parameter->param->path, ParamPath::Music) << "a path's slot names the microphone twin";
        EXPECT_TRUE(controls.count(slot.id)) << "the window lacks control " << slot.id;
        EXPECT_EQ(FindControlSlot(slot.id), &slot);
    }
}

// A caption names a row of the table; its twin on the other path is labelled alike.
TEST(ParameterCaptions, NameRowsOfTheTable) {
    for (const ParameterCaption& caption : ParameterCaptions()) {
        const auto row =
            std::find_if(ParameterTable().begin(), ParameterTable().end(),
                         [&](const Parameter& p) { return std::string_view(p.name) == caption.name; });
        EXPECT_NE(row, ParameterTable().end()) << caption.name << " is no row of the table";
    }
    EXPECT_STREQ(FindParameter("EffectHPF.1")->Caption(0), "高通") << "without a caption, the title";
    EXPECT_STREQ(FindParameter("CompressThreshold_Music")->Caption(0), "门");
    EXPECT_STREQ(FindParameter("MicControlSubRate")->Caption(1), "Rate");
}

TEST(MainWindowTemplate, VerticalSlidersAreTheChannelEffectAndSubwooferOnes) {
    for (const SliderSlot& slot : SliderSlots()) {
        const bool horizontal = slot.rule == SliderRule::Compressor || slot.rule == SliderRule::Position;
        EXPECT_EQ((slot.slider.style & kVertical) == 0, horizontal) << slot.parameter;
    }
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
