// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs/DialogTemplate.h"

// The main window as data: template 229 and the IDs of its controls.
namespace varnoth::mainwin {

inline constexpr int kTemplateNumber = 229;

// A template control the program never addresses (frames, plain group boxes).
inline constexpr int kNoId = -1;

// Top bar.
inline constexpr int kConnectionPicture = 1021;
inline constexpr int kConnectionText = 1017;
inline constexpr int kMicViewButton = 1020;
inline constexpr int kMusicViewButton = 1023;
inline constexpr int kStatusPrefix = 1064;
inline constexpr int kChannelName = 1054;
inline constexpr int kSettingsButton = 1041;
inline constexpr int kLoadModeButton = 1000;  // 1000..1003: M1..M4
inline constexpr int kSaveModeButton = 1004;  // 1004..1007: M1..M4
inline constexpr int kModes = 4;
inline constexpr int kAboutButton = 1018;
inline constexpr int kLanguageButton = 1019;
inline constexpr int kLoadFileButton = 1039;
inline constexpr int kSaveFileButton = 1160;
inline constexpr int kOtherButton = 1042;

// Channel strip: the path chosen by the view.
inline constexpr int kChannelGroup = 1159;
inline constexpr int kChannelPicture = 1162;
inline constexpr int kGainSlider = 2100;
inline constexpr int kGateSlider = 2101;
inline constexpr int kLevelMeter1 = 1109;
inline constexpr int kLevelMeter2 = 1110;
inline constexpr int kPeqOnBox = 1040;
inline constexpr int kFlatPeqButton = 1036;
inline constexpr int kPeqPanel = 1022;
inline constexpr int kCompressOnBox = 1147;
inline constexpr int kCompressPresetList = 1229;
inline constexpr int kThresholdSlider = 2102;
inline constexpr int kRatioSlider = 2103;
inline constexpr int kAttackSlider = 2104;
inline constexpr int kReleaseSlider = 2105;
inline constexpr int kBoostSlider = 2106;
inline constexpr int kCompressPanel = 1024;

// Effects.
inline constexpr int kEffectGroup = 1163;
inline constexpr int kEffect1List = 1144;
inline constexpr int kEffect2List = 1228;
inline constexpr int kEffect1SendSlider = 2107;  // 2107..2112: send, HPF, HSF, level, delay, feedback
inline constexpr int kEffect2SendSlider = 2113;  // 2113..2118
inline constexpr int kEffectSliders = 6;

// Subwoofer.
inline constexpr int kAutoSubBox = 1145;
inline constexpr int kSubTimeSlider = 2119;
inline constexpr int kSubRateSlider = 2120;
inline constexpr int kPhaseBox = 1146;
inline constexpr int kSubLevelSlider = 2121;
inline constexpr int kSubFrequencySlider = 2122;
inline constexpr int kSubResonanceSlider = 2123;

// Graphic EQ.
inline constexpr int kEqGroup = 1154;
inline constexpr int kCenterPageButton = 1097;  // 1097..1100: pages 0 centre, 1 mic, 2 music, 3 sub
inline constexpr int kMicPageButton = 1098;
inline constexpr int kMusicPageButton = 1099;
inline constexpr int kSubPageButton = 1100;
inline constexpr int kEqPages = 4;
inline constexpr int kEqPageTitle = 1049;
inline constexpr int kFlatEqButton = 1016;
inline constexpr int kDefaultEqButton = 1025;
inline constexpr int kRawValuesBox = 1113;
inline constexpr int kGraphicPanel = 1015;

// Master volumes: the slider and its value label.
inline constexpr int kMicVolSlider = 1106;
inline constexpr int kMusicVolSlider = 1103;
inline constexpr int kCenterVolSlider = 1104;
inline constexpr int kSubVolSlider = 1105;
inline constexpr int kMicVolValue = 1027;
inline constexpr int kMusicVolValue = 1031;
inline constexpr int kCenterVolValue = 1029;
inline constexpr int kSubVolValue = 1033;

// The step sliders 2100..2123; each has its value label 50 above its own ID.
inline constexpr int kFirstStepSlider = 2100;
inline constexpr int kMasterSliders[] = {kMicVolSlider, kMusicVolSlider, kCenterVolSlider, kSubVolSlider};
inline constexpr int kLastStepSlider = 2123;
inline constexpr int kValueLabelOffset = 50;

// The button of an EQ page 0..3.
int PageButton(int page);

const DialogTemplate& MainWindowTemplate();

}  // namespace varnoth::mainwin
