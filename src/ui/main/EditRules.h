// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "session/ParameterTable.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth {
class MachineSettings;
}

// How the main window turns slider positions into parameter values and back, and the other decisions of
// its edit handlers that need no window.
namespace varnoth::mainwin {

// A slider bound to its parameter, as its slot in the layout names it: the slider writes it, and it and its
// value label show what the store holds. The range ends at the parameter's maximum (the master volumes' at
// the saved machine settings' maxima instead).
struct SliderEdit {
    int id;
    SliderRule rule;
    ParameterRef parameter;  // the microphone twin for the path sliders
    int valueLabel;          // the label that shows the value
    int nameLabel;           // the name above or beside it
};

// Every slider of the window, in the order of the layout's slots.
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
