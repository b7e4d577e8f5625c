// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "ui/dialogs/DialogTemplate.h"

// The main window as data: template 229, the IDs of its controls and the slots that bind controls to the
// parameters they show, by the parameters' names.
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

inline constexpr int kMasterSliders[] = {kMicVolSlider, kMusicVolSlider, kCenterVolSlider, kSubVolSlider};

// How a slider position p on a slider whose range ends at M becomes the value written.
enum class SliderRule : std::uint8_t {
    Down,        // d = (M - p) mod 256: vertical sliders, whose maximum is at the bottom
    Compressor,  // c = (127 - d) mod 256: equals p on the horizontal 0..127 sliders
    Effect,      // 127 - p
    Position,    // p: the master volume trackbars
};

// A control of a slot: its ID, rectangle in dialog units and style.
struct SlotPart {
    int id = kNoId;
    DialogRect rect;
    unsigned style = kStyleNone;
};

// A slider bound to its parameter by the parameter's name (the command line's word): the slider, the label
// that shows its value and the label that names it with the parameter's caption. This one row is all a
// slider of the window takes.
struct SliderSlot {
    const char*
        parameter;  // NAME or NAME.N; on a path, the microphone twin, whose music twin the music view shows
    SliderRule rule;
    SlotPart slider;
    SlotPart valueLabel;
    SlotPart nameLabel;
};

// The sliders in the order the window makes them.
std::span<const SliderSlot> SliderSlots();

// A box or list bound to its parameter by name; on a path, the microphone twin.
struct ControlSlot {
    int id;
    const char* parameter;
};
std::span<const ControlSlot> ControlSlots();
const ControlSlot* FindControlSlot(int id);

// The button of an EQ page 0..3.
int PageButton(int page);

// The controls in the order the window makes them: a slot's name label, slider and value label where the
// slot stands; the name label's caption is the parameter's English caption.
const DialogTemplate& MainWindowTemplate();

}  // namespace varnoth::mainwin
