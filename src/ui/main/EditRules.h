// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "ui/main/WindowParams.h"

namespace varnoth {
class MachineSettings;
}

// How the main window turns slider positions into parameter values and back, and the other decisions of
// its edit handlers that need no window.
namespace varnoth::mainwin {

// How a slider position p on a slider whose range ends at M becomes the value written.
enum class SliderRule : std::uint8_t {
    Down,        // d = (M - p) mod 256: vertical sliders, whose maximum is at the bottom
    Compressor,  // c = (127 - d) mod 256: equals p on the horizontal 0..127 sliders
    Effect,      // 127 - p
    Position,    // p: the master volume trackbars
};

// A slider bound to its parameter: the slider writes it, and it and its value label show what the store
// holds. The range ends at the parameter's maximum (the master volumes' at the saved machine settings'
// maxima instead).
struct SliderEdit {
    int id;
    SliderRule rule;
    Param param;     // the microphone twin for the path sliders
    int valueLabel;  // the label that shows the value
    int nameLabel;   // the name above or beside it
};

// Every slider of the window: the 24 step sliders in ID order, then the four master volumes.
std::span<const SliderEdit> SliderEdits();
const SliderEdit* FindSliderEdit(int id);

// The end of the slider's range: its parameter's maximum.
int SliderMaximum(const SliderEdit& edit);

// The value a position stands for, and the position that shows a value (clamping is the slider's own).
int SliderValue(SliderRule rule, int maximum, int position);
int SliderPosition(SliderRule rule, int maximum, int value);

// Whether the saved machine settings lock this master volume against edits (only the microphone and music
// volumes have a lock).
bool VolumeLocked(const MachineSettings& machine, int sliderId);

// What a click on the mic-controls-sub box sends: it depends on the stored time, not on the box. A time of
// 0 is off; switching on restores the stored rate, or 20 % when none is stored.
struct MicControlSubSetting {
    std::uint8_t time;
    std::uint8_t rate;
};
MicControlSubSetting ToggledMicControlSub(std::uint8_t time, std::uint8_t rate);

}  // namespace varnoth::mainwin
