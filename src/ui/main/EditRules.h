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

// What the handler does after the write.
enum class AfterEdit : std::uint8_t {
    ValueLabel,         // the value label shows the value in decimal (set before the write)
    SubFrequencyLabel,  // the value label shows the sub frequency text
    RefreshCompressor,  // RefreshCompressor
    EffectLabel,        // the value label shows the effect text or the raw value
    RefreshAutoSub,     // RefreshAutoSub
    MasterVolume,       // lock check first; then the volume's value label
};

struct SliderEdit {
    int id;
    int maximum;  // the range's end set at start; master volumes follow the saved maxima instead
    SliderRule rule;
    Param param;  // the microphone twin for the path sliders 2100..2106
    AfterEdit after;
    int valueLabel;  // the label that shows the value
    int nameLabel;   // the name above or beside it
};

// Every slider of the window: the 24 step sliders in ID order, then the four master volumes.
std::span<const SliderEdit> SliderEdits();
const SliderEdit* FindSliderEdit(int id);

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
