// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/EditRules.h"

#include <algorithm>
#include <vector>

#include "session/MachineSettings.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/WindowParams.h"

namespace varnoth::mainwin {

namespace {

// The positions of the compressor and effect rules run over 0..127.
constexpr int kStepMax = 127;

}  // namespace

std::span<const SliderEdit> SliderEdits() {
    static const std::vector<SliderEdit> edits = [] {
        std::vector<SliderEdit> made;
        for (const SliderSlot& slot : SliderSlots()) {
            made.push_back(
                {slot.slider.id, slot.rule, Named(slot.parameter), slot.valueLabel.id, slot.nameLabel.id});
        }
        return made;
    }();
    return edits;
}

int SliderMaximum(const SliderEdit& edit) {
    return edit.parameter.param->max;
}

const SliderEdit* FindSliderEdit(int id) {
    const std::span<const SliderEdit> edits = SliderEdits();
    const auto edit =
        std::find_if(edits.begin(), edits.end(), [id](const SliderEdit& e) { return e.id == id; });
    return edit == edits.end() ? nullptr : &*edit;
}

int SliderValue(SliderRule rule, int maximum, int position) {
    const int d = (maximum - position) & 0xFF;
    switch (rule) {
        case SliderRule::Down:
            return d;
        case SliderRule::Compressor:
            return (kStepMax - d) & 0xFF;
        case SliderRule::Effect:
            return kStepMax - position;
        case SliderRule::Position:
            break;
    }
    return position;
}

int SliderPosition(SliderRule rule, int maximum, int value) {
    switch (rule) {
        case SliderRule::Down:
            return maximum - value;
        case SliderRule::Compressor:
            return value - kStepMax + maximum;
        case SliderRule::Effect:
            return kStepMax - value;
        case SliderRule::Position:
            break;
    }
    return value;
}

bool VolumeLocked(const MachineSettings& machine, int sliderId) {
    if (machine.Saved(MachineField::EnableLockFunc) == 0) {
        return false;
    }
    switch (sliderId) {
        case kMicVolSlider:
            return machine.Saved(MachineField::Lock_MicVol) != 0;
        case kMusicVolSlider:
            return machine.Saved(MachineField::Lock_MusicVol) != 0;
        default:
            return false;
    }
}

MicControlSubSetting ToggledMicControlSub(std::uint8_t time, std::uint8_t rate) {
    constexpr std::uint8_t kOnTime = 10;
    constexpr std::uint8_t kDefaultRate = 20;
    if (time != 0) {
        return {0, rate};
    }
    return {kOnTime, rate != 0 ? rate : kDefaultRate};
}

}  // namespace varnoth::mainwin
