// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindowTemplate.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <variant>
#include <vector>

#include "session/ParameterTable.h"

namespace varnoth::mainwin {

namespace {

using K = ControlKind;
using R = SliderRule;
using C = ControlTemplate;
using S = SliderSlot;

// A row of the layout: a control of its own or a slider's slot.
using LayoutRow = std::variant<ControlTemplate, SliderSlot>;

// Rectangles in dialog units. Group boxes come before the controls they frame, so that those are drawn
// over them. The image buttons, sliders, group boxes 1159, 1163 and 1154, the EQ panels (1015, 1022), the
// compressor panel (1024) and the level meters (1109, 1110) are replaced by the window's own controls.
// clang-format off
constexpr LayoutRow kLayout[] = {
    // Top bar.
    C{1021, K::Picture, {6, 4, 11, 17}},
    C{1017, K::Label, {23, 8, 58, 10}, "Disconnect"},
    C{1020, K::PushButton, {82, 16, 49, 10}, "Mic"},
    C{1023, K::PushButton, {132, 16, 56, 10}, "Music"},
    C{1064, K::Label, {191, 16, 30, 10}, "当前状态", kRightAligned},
    C{1054, K::Label, {225, 16, 56, 10}, "话筒控制"},
    C{1041, K::PushButton, {250, 1, 49, 12}, "设置", kHidden},
    C{1012, K::Label, {306, 2, 19, 10}, "LOAD", kRightAligned},
    C{1000, K::PushButton, {327, 2, 17, 10}},
    C{1001, K::PushButton, {344, 2, 17, 10}},
    C{1002, K::PushButton, {361, 2, 17, 10}},
    C{1003, K::PushButton, {378, 2, 17, 10}},
    C{1013, K::Label, {305, 15, 19, 10}, "SAVE", kRightAligned},
    C{1004, K::PushButton, {327, 15, 17, 10}, "M1"},
    C{1005, K::PushButton, {344, 15, 17, 10}, "M2"},
    C{1006, K::PushButton, {361, 15, 17, 10}, "M3"},
    C{1007, K::PushButton, {378, 15, 17, 10}, "M4"},
    C{1018, K::PushButton, {427, 1, 49, 12}, "About"},
    C{1019, K::PushButton, {476, 1, 49, 12}, "中文"},
    C{1039, K::PushButton, {427, 14, 49, 12}, "载入"},
    C{1160, K::PushButton, {476, 14, 49, 12}, "保存"},
    C{1042, K::PushButton, {525, 2, 49, 24}, "设置"},
    // Channel strip: the path the view shows.
    C{1159, K::GroupBox, {3, 26, 573, 104}, ""},
    C{1162, K::Picture, {4, 34, 15, 15}},
    S{"InputGain_Mic", R::Down, {2100, {20, 44, 12, 53}, kVertical}, {2150, {19, 97, 15, 10}}, {1051, {19, 32, 16, 10}, kCentred}},
    S{"NoiseGate_Mic", R::Down, {2101, {36, 44, 12, 53}, kVertical}, {2151, {39, 97, 15, 10}}, {1052, {35, 32, 21, 10}, kCentred}},
    C{1109, K::Frame, {7, 51, 4, 52}},
    C{1110, K::Frame, {12, 51, 4, 52}},
    C{1040, K::CheckBox, {11, 108, 42, 10}, "PEQ ON"},
    C{1036, K::PushButton, {5, 118, 47, 10}, "FLAT EQ"},
    C{1022, K::Frame, {56, 32, 231, 92}},
    C{1147, K::CheckBox, {304, 34, 24, 10}, "ON"},
    C{1229, K::DropDownList, {329, 33, 97, 12}},
    S{"CompressThreshold_Mic", R::Compressor, {2102, {327, 47, 71, 13}}, {2152, {399, 50, 30, 10}}, {1055, {289, 51, 36, 10}, kRightAligned}},
    S{"CompressRatio_Mic", R::Compressor, {2103, {327, 63, 71, 13}}, {2153, {399, 66, 30, 10}}, {1056, {289, 67, 36, 10}, kRightAligned}},
    S{"CompressAttackTime_Mic", R::Compressor, {2104, {327, 79, 71, 13}}, {2154, {399, 82, 30, 10}}, {1057, {289, 83, 36, 10}, kRightAligned}},
    S{"CompressReleaseTime_Mic", R::Compressor, {2105, {327, 95, 71, 13}}, {2155, {399, 98, 30, 10}}, {1058, {289, 99, 36, 10}, kRightAligned}},
    S{"CompressBoost_Mic", R::Compressor, {2106, {327, 111, 71, 13}}, {2156, {399, 114, 30, 10}}, {1059, {289, 115, 36, 10}, kRightAligned}},
    C{1024, K::Frame, {430, 32, 143, 93}},
    // Effects, with a grey line between the two engines.
    C{1163, K::GroupBox, {3, 134, 388, 114}, ""},
    C{kNoId, K::Frame, {194, 138, 1, 106}},
    C{1084, K::Label, {37, 139, 46, 10}, "效果一", kRightAligned},
    C{1144, K::DropDownList, {85, 138, 97, 12}},
    S{"ChToEffect1", R::Effect, {2107, {12, 164, 14, 72}, kVertical}, {2157, {4, 236, 30, 10}, kCentred}, {1089, {4, 151, 30, 10}, kCentred}},
    S{"EffectHPF.0", R::Effect, {2108, {43, 164, 14, 72}, kVertical}, {2158, {35, 236, 30, 10}, kCentred}, {1060, {38, 151, 24, 10}, kCentred}},
    S{"EffectHSF.0", R::Effect, {2109, {74, 164, 14, 72}, kVertical}, {2159, {66, 236, 30, 10}, kCentred}, {1053, {69, 151, 24, 10}, kCentred}},
    S{"EffectLevel.0", R::Effect, {2110, {105, 164, 14, 72}, kVertical}, {2160, {97, 236, 30, 10}, kCentred}, {1061, {100, 151, 24, 10}, kCentred}},
    S{"EffectDelayTime.0", R::Effect, {2111, {136, 164, 14, 72}, kVertical}, {2161, {128, 236, 30, 10}, kCentred}, {1062, {131, 151, 24, 10}, kCentred}},
    S{"EffectFeedback.0", R::Effect, {2112, {167, 164, 14, 72}, kVertical}, {2162, {159, 236, 30, 10}, kCentred}, {1063, {157, 151, 34, 10}, kCentred}},
    C{1085, K::Label, {246, 139, 36, 10}, "效果二", kRightAligned},
    C{1228, K::DropDownList, {284, 138, 97, 12}},
    S{"ChToEffect2", R::Effect, {2113, {205, 164, 14, 72}, kVertical}, {2163, {197, 236, 30, 10}, kCentred}, {1090, {197, 151, 30, 10}, kCentred}},
    S{"EffectHPF.1", R::Effect, {2114, {237, 164, 14, 72}, kVertical}, {2164, {229, 236, 30, 10}, kCentred}, {1068, {232, 151, 24, 10}, kCentred}},
    S{"EffectHSF.1", R::Effect, {2115, {269, 164, 14, 72}, kVertical}, {2165, {261, 236, 30, 10}, kCentred}, {1066, {264, 151, 24, 10}, kCentred}},
    S{"EffectLevel.1", R::Effect, {2116, {301, 164, 14, 72}, kVertical}, {2166, {293, 236, 30, 10}, kCentred}, {1069, {296, 151, 24, 10}, kCentred}},
    S{"EffectDelayTime.1", R::Effect, {2117, {333, 164, 14, 72}, kVertical}, {2167, {325, 236, 30, 10}, kCentred}, {1070, {328, 151, 24, 10}, kCentred}},
    S{"EffectFeedback.1", R::Effect, {2118, {365, 164, 14, 72}, kVertical}, {2168, {357, 236, 30, 10}, kCentred}, {1071, {355, 151, 34, 10}, kCentred}},
    // Subwoofer: mic-controls-sub on the left, the sub processor on the right.
    C{kNoId, K::GroupBox, {394, 130, 77, 118}, ""},
    C{kNoId, K::GroupBox, {474, 130, 101, 118}, ""},
    C{1088, K::Label, {395, 139, 50, 10}, "Auto Sub", kCentred},
    C{1145, K::CheckBox, {447, 140, 23, 10}, "ON"},
    S{"MicControlSubTime", R::Down, {2119, {409, 163, 14, 72}, kVertical}, {2169, {400, 236, 32, 10}, kCentred}, {1074, {401, 150, 35, 10}, kCentred}},
    S{"MicControlSubRate", R::Down, {2120, {443, 163, 14, 72}, kVertical}, {2170, {434, 236, 32, 10}, kCentred}, {1075, {440, 150, 31, 10}, kCentred}},
    C{1146, K::CheckBox, {485, 139, 52, 10}, "Phase180°"},
    S{"SubLevel", R::Down, {2121, {483, 162, 14, 72}, kVertical}, {2171, {476, 234, 28, 10}, kCentred}, {1076, {476, 150, 28, 10}, kCentred}},
    S{"SubFrequency", R::Down, {2122, {516, 162, 14, 72}, kVertical}, {2172, {508, 234, 30, 10}, kCentred}, {1086, {504, 150, 38, 10}, kCentred}},
    S{"SubResonance", R::Down, {2123, {550, 162, 14, 72}, kVertical}, {2173, {543, 234, 28, 10}, kCentred}, {1087, {542, 150, 31, 10}, kCentred}},
    // Graphic EQ.
    C{1154, K::GroupBox, {2, 262, 455, 112}, ""},
    C{1098, K::PushButton, {3, 252, 49, 10}, "MIC EQ"},
    C{1099, K::PushButton, {53, 252, 49, 10}, "MUSIC EQ"},
    C{1097, K::PushButton, {103, 252, 49, 10}, "CENTER EQ"},
    C{1100, K::PushButton, {153, 252, 49, 10}, "SUB EQ"},
    C{1050, K::Label, {227, 252, 40, 10}, "当前均衡", kRightAligned},
    C{1049, K::Label, {272, 252, 41, 10}, "话筒总均衡"},
    C{1016, K::PushButton, {316, 252, 47, 10}, "FLAT EQ"},
    C{1025, K::PushButton, {366, 252, 63, 11}, "Reset Default EQ", kHidden},
    C{1113, K::CheckBox, {454, 248, 57, 10}, "Alert", kHidden},
    C{1015, K::Frame, {5, 269, 450, 104}},
    // Master volumes: name, value and trackbar of each output.
    C{1153, K::GroupBox, {459, 249, 117, 125}, "主音量", kCentred},
    S{"MicVol", R::Position, {1106, {460, 274, 109, 12}}, {1027, {557, 263, 14, 10}}, {1026, {466, 263, 33, 10}}},
    S{"MusicVol", R::Position, {1103, {460, 302, 109, 12}}, {1031, {557, 291, 14, 10}}, {1030, {466, 291, 33, 10}}},
    S{"CenterVol", R::Position, {1104, {460, 330, 109, 12}}, {1029, {557, 319, 14, 10}}, {1028, {466, 319, 33, 10}}},
    S{"SubVol", R::Position, {1105, {460, 357, 109, 12}}, {1033, {557, 346, 14, 10}}, {1032, {466, 346, 33, 10}}},
};
// clang-format on

constexpr ControlSlot kControlSlots[] = {
    {kPeqOnBox, "PEQOn_Mic"},
    {kCompressOnBox, "CompressOn_Mic"},
    {kCompressPresetList, "CompressPreset_Mic"},
    {kAutoSubBox, "MicControlSubTime"},
    {kPhaseBox, "SubPhase180"},
};

ControlTemplate Part(const SlotPart& part, ControlKind kind, const char* caption) {
    return {part.id, kind, part.rect, caption, part.style};
}

// The caption the template gives a slot's name label, before the window's language names it.
const char* EnglishCaption(const char* parameter) {
    const std::optional<ParameterRef> ref = FindParameter(parameter);
    return ref ? ref->Caption(1) : nullptr;
}

}  // namespace

std::span<const SliderSlot> SliderSlots() {
    static const std::vector<SliderSlot> slots = [] {
        std::vector<SliderSlot> found;
        for (const LayoutRow& row : kLayout) {
            if (const auto* slot = std::get_if<SliderSlot>(&row)) {
                found.push_back(*slot);
            }
        }
        return found;
    }();
    return slots;
}

std::span<const ControlSlot> ControlSlots() {
    return kControlSlots;
}

const ControlSlot* FindControlSlot(int id) {
    const auto* slot = std::find_if(std::begin(kControlSlots), std::end(kControlSlots),
                                    [id](const ControlSlot& s) { return s.id == id; });
    return slot == std::end(kControlSlots) ? nullptr : slot;
}

int PageButton(int page) {
    constexpr std::array<int, kEqPages> kButtons = {kCenterPageButton, kMicPageButton, kMusicPageButton,
                                                    kSubPageButton};
    return page >= 0 && page < kEqPages ? kButtons[static_cast<std::size_t>(page)] : kNoId;
}

const DialogTemplate& MainWindowTemplate() {
    static const std::vector<ControlTemplate> controls = [] {
        std::vector<ControlTemplate> made;
        for (const LayoutRow& row : kLayout) {
            if (const auto* slot = std::get_if<SliderSlot>(&row)) {
                made.push_back(Part(slot->nameLabel, K::Label, EnglishCaption(slot->parameter)));
                made.push_back(Part(slot->slider, K::Trackbar, nullptr));
                made.push_back(Part(slot->valueLabel, K::Label, "0"));
            } else {
                made.push_back(std::get<ControlTemplate>(row));
            }
        }
        return made;
    }();
    static const DialogTemplate dialog{kTemplateNumber,      "Varnoth v1.5", 579, 378,
                                       StandardDialogFont(), controls};
    return dialog;
}

}  // namespace varnoth::mainwin
