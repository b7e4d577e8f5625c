// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindowTemplate.h"

#include <array>

namespace varnoth::mainwin {

namespace {

using K = ControlKind;

// Rectangles in dialog units. Group boxes come before the controls they frame, so that those are drawn
// over them. The image buttons, step sliders, group boxes 1159, 1163 and 1154, the EQ panels (1015, 1022),
// the compressor panel (1024) and the level meters (1109, 1110) are replaced by the window's own controls.
constexpr ControlTemplate kControls[] = {
    // Top bar.
    {1021, K::Picture, {6, 4, 11, 17}},
    {1017, K::Label, {23, 8, 58, 10}, "Disconnect"},
    {1020, K::PushButton, {82, 16, 49, 10}, "Mic"},
    {1023, K::PushButton, {132, 16, 56, 10}, "Music"},
    {1064, K::Label, {191, 16, 30, 10}, "当前状态", kRightAligned},
    {1054, K::Label, {225, 16, 56, 10}, "话筒控制"},
    {1041, K::PushButton, {250, 1, 49, 12}, "设置", kHidden},
    {1012, K::Label, {306, 2, 19, 10}, "LOAD", kRightAligned},
    {1000, K::PushButton, {327, 2, 17, 10}},
    {1001, K::PushButton, {344, 2, 17, 10}},
    {1002, K::PushButton, {361, 2, 17, 10}},
    {1003, K::PushButton, {378, 2, 17, 10}},
    {1013, K::Label, {305, 15, 19, 10}, "SAVE", kRightAligned},
    {1004, K::PushButton, {327, 15, 17, 10}, "M1"},
    {1005, K::PushButton, {344, 15, 17, 10}, "M2"},
    {1006, K::PushButton, {361, 15, 17, 10}, "M3"},
    {1007, K::PushButton, {378, 15, 17, 10}, "M4"},
    {1018, K::PushButton, {427, 1, 49, 12}, "About"},
    {1019, K::PushButton, {476, 1, 49, 12}, "中文"},
    {1039, K::PushButton, {427, 14, 49, 12}, "载入"},
    {1160, K::PushButton, {476, 14, 49, 12}, "保存"},
    {1042, K::PushButton, {525, 2, 49, 24}, "设置"},
    // Channel strip: the path the view shows.
    {1159, K::GroupBox, {3, 26, 573, 104}, ""},
    {1162, K::Picture, {4, 34, 15, 15}},
    {1051, K::Label, {19, 32, 16, 10}, "Gain", kCentred},
    {1052, K::Label, {35, 32, 21, 10}, "Noise Gate", kCentred},
    {2100, K::Trackbar, {20, 44, 12, 53}, nullptr, kVertical},
    {2101, K::Trackbar, {36, 44, 12, 53}, nullptr, kVertical},
    {2150, K::Label, {19, 97, 15, 10}, "0"},
    {2151, K::Label, {39, 97, 15, 10}, "0"},
    {1109, K::Frame, {7, 51, 4, 52}},
    {1110, K::Frame, {12, 51, 4, 52}},
    {1040, K::CheckBox, {11, 108, 42, 10}, "PEQ ON"},
    {1036, K::PushButton, {5, 118, 47, 10}, "FLAT EQ"},
    {1022, K::Frame, {56, 32, 231, 92}},
    {1147, K::CheckBox, {304, 34, 24, 10}, "ON"},
    {1229, K::DropDownList, {329, 33, 97, 12}},
    {1055, K::Label, {289, 51, 36, 10}, "Threshold", kRightAligned},
    {1056, K::Label, {289, 67, 36, 10}, "Ratio", kRightAligned},
    {1057, K::Label, {289, 83, 36, 10}, "Attack T.", kRightAligned},
    {1058, K::Label, {289, 99, 36, 10}, "Release T.", kRightAligned},
    {1059, K::Label, {289, 115, 36, 10}, "Boost", kRightAligned},
    {2102, K::Trackbar, {327, 47, 71, 13}},
    {2103, K::Trackbar, {327, 63, 71, 13}},
    {2104, K::Trackbar, {327, 79, 71, 13}},
    {2105, K::Trackbar, {327, 95, 71, 13}},
    {2106, K::Trackbar, {327, 111, 71, 13}},
    {2152, K::Label, {399, 50, 30, 10}, "0"},
    {2153, K::Label, {399, 66, 30, 10}, "0"},
    {2154, K::Label, {399, 82, 30, 10}, "0"},
    {2155, K::Label, {399, 98, 30, 10}, "0"},
    {2156, K::Label, {399, 114, 30, 10}, "0"},
    {1024, K::Frame, {430, 32, 143, 93}},
    // Effects, with a grey line between the two engines.
    {1163, K::GroupBox, {3, 134, 388, 114}, ""},
    {kNoId, K::Frame, {194, 138, 1, 106}},
    {1084, K::Label, {37, 139, 46, 10}, "效果一", kRightAligned},
    {1144, K::DropDownList, {85, 138, 97, 12}},
    {1089, K::Label, {4, 151, 30, 10}, "VOL", kCentred},
    {1060, K::Label, {38, 151, 24, 10}, "HPF", kCentred},
    {1053, K::Label, {69, 151, 24, 10}, "HSF", kCentred},
    {1061, K::Label, {100, 151, 24, 10}, "Level", kCentred},
    {1062, K::Label, {131, 151, 24, 10}, "Delay ", kCentred},
    {1063, K::Label, {157, 151, 34, 10}, "Feedback", kCentred},
    {2107, K::Trackbar, {12, 164, 14, 72}, nullptr, kVertical},
    {2108, K::Trackbar, {43, 164, 14, 72}, nullptr, kVertical},
    {2109, K::Trackbar, {74, 164, 14, 72}, nullptr, kVertical},
    {2110, K::Trackbar, {105, 164, 14, 72}, nullptr, kVertical},
    {2111, K::Trackbar, {136, 164, 14, 72}, nullptr, kVertical},
    {2112, K::Trackbar, {167, 164, 14, 72}, nullptr, kVertical},
    {2157, K::Label, {4, 236, 30, 10}, "0", kCentred},
    {2158, K::Label, {35, 236, 30, 10}, "0", kCentred},
    {2159, K::Label, {66, 236, 30, 10}, "0", kCentred},
    {2160, K::Label, {97, 236, 30, 10}, "0", kCentred},
    {2161, K::Label, {128, 236, 30, 10}, "0", kCentred},
    {2162, K::Label, {159, 236, 30, 10}, "0", kCentred},
    {1085, K::Label, {246, 139, 36, 10}, "效果二", kRightAligned},
    {1228, K::DropDownList, {284, 138, 97, 12}},
    {1090, K::Label, {197, 151, 30, 10}, "VOL", kCentred},
    {1068, K::Label, {232, 151, 24, 10}, "HPF", kCentred},
    {1066, K::Label, {264, 151, 24, 10}, "HSF", kCentred},
    {1069, K::Label, {296, 151, 24, 10}, "Level", kCentred},
    {1070, K::Label, {328, 151, 24, 10}, "Delay ", kCentred},
    {1071, K::Label, {355, 151, 34, 10}, "Feedback", kCentred},
    {2113, K::Trackbar, {205, 164, 14, 72}, nullptr, kVertical},
    {2114, K::Trackbar, {237, 164, 14, 72}, nullptr, kVertical},
    {2115, K::Trackbar, {269, 164, 14, 72}, nullptr, kVertical},
    {2116, K::Trackbar, {301, 164, 14, 72}, nullptr, kVertical},
    {2117, K::Trackbar, {333, 164, 14, 72}, nullptr, kVertical},
    {2118, K::Trackbar, {365, 164, 14, 72}, nullptr, kVertical},
    {2163, K::Label, {197, 236, 30, 10}, "0", kCentred},
    {2164, K::Label, {229, 236, 30, 10}, "0", kCentred},
    {2165, K::Label, {261, 236, 30, 10}, "0", kCentred},
    {2166, K::Label, {293, 236, 30, 10}, "0", kCentred},
    {2167, K::Label, {325, 236, 30, 10}, "0", kCentred},
    {2168, K::Label, {357, 236, 30, 10}, "0", kCentred},
    // Subwoofer: mic-controls-sub on the left, the sub processor on the right.
    {kNoId, K::GroupBox, {394, 130, 77, 118}, ""},
    {kNoId, K::GroupBox, {474, 130, 101, 118}, ""},
    {1088, K::Label, {395, 139, 50, 10}, "Auto Sub", kCentred},
    {1145, K::CheckBox, {447, 140, 23, 10}, "ON"},
    {1074, K::Label, {401, 150, 35, 10}, "Restore T.", kCentred},
    {1075, K::Label, {440, 150, 31, 10}, "Ratio", kCentred},
    {2119, K::Trackbar, {409, 163, 14, 72}, nullptr, kVertical},
    {2120, K::Trackbar, {443, 163, 14, 72}, nullptr, kVertical},
    {2169, K::Label, {400, 236, 32, 10}, "0", kCentred},
    {2170, K::Label, {434, 236, 32, 10}, "0", kCentred},
    {1146, K::CheckBox, {485, 139, 52, 10}, "Phase180°"},
    {1076, K::Label, {476, 150, 28, 10}, "Level", kCentred},
    {1086, K::Label, {504, 150, 38, 10}, "Frequency", kCentred},
    {1087, K::Label, {542, 150, 31, 10}, "Res.", kCentred},
    {2121, K::Trackbar, {483, 162, 14, 72}, nullptr, kVertical},
    {2122, K::Trackbar, {516, 162, 14, 72}, nullptr, kVertical},
    {2123, K::Trackbar, {550, 162, 14, 72}, nullptr, kVertical},
    {2171, K::Label, {476, 234, 28, 10}, "0", kCentred},
    {2172, K::Label, {508, 234, 30, 10}, "0", kCentred},
    {2173, K::Label, {543, 234, 28, 10}, "0", kCentred},
    // Graphic EQ.
    {1154, K::GroupBox, {2, 262, 455, 112}, ""},
    {1098, K::PushButton, {3, 252, 49, 10}, "MIC EQ"},
    {1099, K::PushButton, {53, 252, 49, 10}, "MUSIC EQ"},
    {1097, K::PushButton, {103, 252, 49, 10}, "CENTER EQ"},
    {1100, K::PushButton, {153, 252, 49, 10}, "SUB EQ"},
    {1050, K::Label, {227, 252, 40, 10}, "当前均衡", kRightAligned},
    {1049, K::Label, {272, 252, 41, 10}, "话筒总均衡"},
    {1016, K::PushButton, {316, 252, 47, 10}, "FLAT EQ"},
    {1025, K::PushButton, {366, 252, 63, 11}, "Reset Default EQ", kHidden},
    {1113, K::CheckBox, {454, 248, 57, 10}, "Alert", kHidden},
    {1015, K::Frame, {5, 269, 450, 104}},
    // Master volumes: name, value and trackbar of each output.
    {1153, K::GroupBox, {459, 249, 117, 125}, "主音量", kCentred},
    {1026, K::Label, {466, 263, 33, 10}, "MIC"},
    {1027, K::Label, {557, 263, 14, 10}, "0"},
    {1106, K::Trackbar, {460, 274, 109, 12}},
    {1030, K::Label, {466, 291, 33, 10}, "MUSIC"},
    {1031, K::Label, {557, 291, 14, 10}, "0"},
    {1103, K::Trackbar, {460, 302, 109, 12}},
    {1028, K::Label, {466, 319, 33, 10}, "CENTER"},
    {1029, K::Label, {557, 319, 14, 10}, "0"},
    {1104, K::Trackbar, {460, 330, 109, 12}},
    {1032, K::Label, {466, 346, 33, 10}, "SUB"},
    {1033, K::Label, {557, 346, 14, 10}, "0"},
    {1105, K::Trackbar, {460, 357, 109, 12}},
};

}  // namespace

int PageButton(int page) {
    constexpr std::array<int, kEqPages> kButtons = {kCenterPageButton, kMicPageButton, kMusicPageButton,
                                                    kSubPageButton};
    return page >= 0 && page < kEqPages ? kButtons[static_cast<std::size_t>(page)] : kNoId;
}

const DialogTemplate& MainWindowTemplate() {
    static const DialogTemplate dialog{kTemplateNumber,      "Varnoth v1.5", 579, 378,
                                       StandardDialogFont(), kControls};
    return dialog;
}

}  // namespace varnoth::mainwin
