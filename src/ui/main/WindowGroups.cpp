// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowGroups.h"

#include <QDialog>

#include "session/ParameterTable.h"
#include "ui/controls/GroupArea.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/StepText.h"
#include "ui/main/WindowParams.h"

namespace varnoth::mainwin {

namespace {

// A frame of the template without an ID, known by a control it frames.
struct UnnamedFrame {
    int id;
    int framed;
};
constexpr UnnamedFrame kUnnamedFrames[] = {{kAutoSubGroup, kSubTimeSlider},
                                           {kSubwooferGroup, kSubLevelSlider}};

// A group inside a frame, drawn nowhere: its rectangle in the template's dialog units. The line between the
// effects' parts belongs to neither.
struct Part {
    int id;
    int frame;
    DialogRect rect;
};
constexpr Part kParts[] = {
    {kCompressorGroup, kChannelGroup, {288, 30, 287, 98}},
    {kEffect1Group, kEffectGroup, {4, 135, 189, 112}},
    {kEffect2Group, kEffectGroup, {196, 135, 194, 112}},
};

constexpr int kGroupIds[] = {kChannelGroup, kCompressorGroup, kEffectGroup, kEffect1Group, kEffect2Group,
                             kAutoSubGroup, kSubwooferGroup,  kEqGroup,     kVolumeGroup};

struct GroupText {
    int id;
    Bilingual name;
};
constexpr GroupText kNames[] = {
    {kCompressorGroup, {"压缩器", "compressor"}},    {kEffectGroup, {"效果", "effects"}},
    {kEffect1Group, {"效果一", "effect 1"}},         {kEffect2Group, {"效果二", "effect 2"}},
    {kAutoSubGroup, {"演唱时超低自控", "auto sub"}}, {kSubwooferGroup, {"超低", "subwoofer"}},
    {kVolumeGroup, {"输出音量", "output volumes"}},
};
constexpr Bilingual kChannelNames[2] = {{"音乐通道", "music channel"}, {"话筒通道", "mic channel"}};

}  // namespace

void MakeGroups(QDialog& window) {
    for (const UnnamedFrame& unnamed : kUnnamedFrames) {
        SetControlId(*FindControl(window, unnamed.framed)->parentWidget(), unnamed.id);
    }
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    for (const Part& part : kParts) {
        QWidget* frame = FindControl(window, part.frame);
        auto* group = new GroupArea(frame);
        SetControlId(*group, part.id);
        group->setGeometry(ToPixels(part.rect, base).translated(-frame->pos()));
    }
    NestInGroups(window);
}

std::span<const int> GroupIds() {
    return kGroupIds;
}

std::string GroupName(const MainWindow& window, int groupId) {
    const int language = window.Language();
    if (groupId == kChannelGroup) {
        return kChannelNames[window.MicView() != 0 ? 1 : 0].In(language);
    }
    if (groupId == kEqGroup) {
        return ParameterTitle(GraphicBankName(window.EqPage()), language);
    }
    for (const GroupText& text : kNames) {
        if (text.id == groupId) {
            return text.name.In(language);
        }
    }
    return {};
}

}  // namespace varnoth::mainwin
