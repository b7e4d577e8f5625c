// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowColours.h"

#include <QColor>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/main/ColourLabel.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {
namespace {

// Text colours of the static texts.
enum class TextColour { Connection, VolumeName, VolumeValue, ChannelStrip, Effect, Subwoofer, PageTitle };
struct ColourRange {
    int first;
    int last;
    TextColour colour;
};
constexpr ColourRange kTextColours[] = {
    {kConnectionText, kConnectionText, TextColour::Connection},
    {kChannelName, kChannelName, TextColour::ChannelStrip},
    {1084, 1085, TextColour::Effect},
    {1088, 1088, TextColour::Subwoofer},
    {kEqPageTitle, kEqPageTitle, TextColour::PageTitle},
};

// The colour of a slider's labels: that of the frame its parameter sits in.
struct GroupColour {
    ParamGroup group;
    TextColour name;
    TextColour value;
};
constexpr GroupColour kGroupColours[] = {
    {ParamGroup::Channel, TextColour::ChannelStrip, TextColour::ChannelStrip},
    {ParamGroup::Effect1, TextColour::Effect, TextColour::Effect},
    {ParamGroup::Effect2, TextColour::Effect, TextColour::Effect},
    {ParamGroup::AutoSub, TextColour::Subwoofer, TextColour::Subwoofer},
    {ParamGroup::Subwoofer, TextColour::Subwoofer, TextColour::Subwoofer},
    {ParamGroup::Volumes, TextColour::VolumeName, TextColour::VolumeValue},
};

const TextColour* TextColourOf(int id) {
    for (const SliderEdit& edit : SliderEdits()) {
        if (id != edit.nameLabel && id != edit.valueLabel) {
            continue;
        }
        for (const GroupColour& colour : kGroupColours) {
            if (colour.group == edit.parameter.Group()) {
                return id == edit.nameLabel ? &colour.name : &colour.value;
            }
        }
    }
    for (const ColourRange& range : kTextColours) {
        if (id >= range.first && id <= range.last) {
            return &range.colour;
        }
    }
    return nullptr;
}

const QColor kMicColour(220, 100, 36);
const QColor kMusicColour(87, 184, 35);

QColor VolumeValueColour(int value) {
    if (value >= 35) {
        return QColor(230, 0, 0);
    }
    if (value >= 30) {
        return QColor(230, 150, 0);
    }
    return QColor(0, 230, 0);
}

}  // namespace

bool WindowColours::IsColoured(int id) {
    return TextColourOf(id) != nullptr;
}

void WindowColours::Apply(const DialogTemplate& layout, const std::function<ColourLabel*(int)>& labelOf,
                          const Follows& follows) {
    for (const ControlTemplate& control : layout.controls) {
        const TextColour* colour = TextColourOf(control.id);
        ColourLabel* label = colour ? labelOf(control.id) : nullptr;
        if (label == nullptr) {
            continue;
        }
        switch (*colour) {
            case TextColour::Connection:
                label->SetColourRule([answering = follows.answering](const ColourLabel&) {
                    return answering() ? QColor(0, 255, 0) : QColor(255, 0, 0);
                });
                break;
            case TextColour::VolumeName:
                label->SetColourRule([](const ColourLabel&) { return QColor(103, 120, 160); });
                break;
            case TextColour::VolumeValue:
                label->SetColourRule(
                    [](const ColourLabel& self) { return VolumeValueColour(self.text().toInt()); });
                label->SetBackground(QColor(Qt::black));
                break;
            case TextColour::ChannelStrip:
                label->SetColourRule([micView = follows.micView](const ColourLabel&) {
                    return micView() ? kMicColour : kMusicColour;
                });
                break;
            case TextColour::Effect:
                label->SetColourRule([](const ColourLabel&) { return kMicColour; });
                break;
            case TextColour::Subwoofer:
                label->SetColourRule([](const ColourLabel&) { return kMusicColour; });
                break;
            case TextColour::PageTitle:
                label->SetColourRule([](const ColourLabel&) { return QColor(255, 0, 0); });
                break;
        }
    }
}

}  // namespace varnoth::mainwin
