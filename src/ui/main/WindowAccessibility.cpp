// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowAccessibility.h"

#include <QLabel>

#include <algorithm>
#include <iterator>
#include <string>

#include "session/DeviceSession.h"
#include "session/ParameterTable.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/GroupArea.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/StepText.h"
#include "ui/main/WindowGroups.h"
#include "ui/main/WindowParams.h"

namespace varnoth::mainwin {

namespace {

struct ControlName {
    int id;
    Bilingual name;
};

constexpr ControlName kNames[] = {
    {kMicViewButton, {"话筒控制", "Mic Control"}},
    {kMusicViewButton, {"音乐控制", "Music Control"}},
    {kPeqOnBox, {"参量均衡开", "PEQ on"}},
    {kFlatPeqButton, {"参量均衡置零", "Flat PEQ"}},
    {kPeqPanel, {"参量均衡", "Parametric EQ"}},
    {kCompressOnBox, {"压缩器开", "Compressor on"}},
    {kCompressPresetList, {"压缩器预设", "Compressor preset"}},
    {kCompressPanel, {"压缩曲线", "Compressor curve"}},
    {kEffect1List, {"效果一预设", "Effect 1 preset"}},
    {kEffect2List, {"效果二预设", "Effect 2 preset"}},
    {kAutoSubBox, {"自动超低音开", "Auto sub on"}},
    {kPhaseBox, {"超低音反相180°", "Subwoofer phase 180°"}},
    {kCenterPageButton, {"中置均衡页", "Center EQ page"}},
    {kMicPageButton, {"话筒均衡页", "Mic EQ page"}},
    {kMusicPageButton, {"音乐均衡页", "Music EQ page"}},
    {kSubPageButton, {"超低均衡页", "Sub EQ page"}},
    {kFlatEqButton, {"图示均衡置零", "Flat graphic EQ"}},
    {kGraphicPanel, {"图示均衡", "Graphic EQ"}},
    {kLevelMeter1, {"电平表一", "Level meter 1"}},
    {kLevelMeter2, {"电平表二", "Level meter 2"}},
};

constexpr Bilingual kCurveOff{"（关）", " (off)"};
constexpr Bilingual kLoadMode{"载入模式", "Load mode "};
constexpr Bilingual kSaveMode{"存储模式", "Save mode "};

// A list's name is its current item on the desktop's accessibility bus, and a screen reader speaks a label
// linked to a list instead of that name, so the item would go unsaid: a list is described by what it
// chooses instead of being linked to its caption.
constexpr int kLists[] = {kEffect1List, kEffect2List, kCompressPresetList};
// The caption beside the auto sub's box.
constexpr int kAutoSubCaption = 1088;

QString Capitalised(const std::string& text) {
    QString shown = QString::fromStdString(text);
    if (!shown.isEmpty()) {
        shown[0] = shown[0].toUpper();
    }
    return shown;
}

}  // namespace

void NameControls(MainWindow& window) {
    const int language = window.Language();
    const bool micView = window.MicView() != 0;
    for (const ControlName& control : kNames) {
        QWidget* widget = window.Control(control.id);
        const QString name = QString::fromUtf8(control.name.In(language));
        SetAccessibleName(*widget, name);
        if (std::find(std::begin(kLists), std::end(kLists), control.id) != std::end(kLists)) {
            SetAccessibleDescription(*widget, name);
        }
    }
    for (int mode = 0; mode < kModes; ++mode) {
        const QString number = QString::number(mode + 1);
        SetAccessibleName(*window.Control(kLoadModeButton + mode),
                          QString::fromUtf8(kLoadMode.In(language)) + number);
        SetAccessibleName(*window.Control(kSaveModeButton + mode),
                          QString::fromUtf8(kSaveMode.In(language)) + number);
    }
    for (const int id : GroupIds()) {
        const QString name = Capitalised(GroupName(window, id));
        QWidget* group = window.Control(id);
        SetAccessibleName(*group, name);
        // A group drawn nowhere labels its controls: a list is known by its label alone.
        if (auto* area = qobject_cast<GroupArea*>(group)) {
            area->setTitle(name);
        }
    }
    for (const Tooltip& tip : Tooltips()) {
        window.Control(tip.id)->setToolTip(QString::fromUtf8(tip.text.In(language)));
    }
    for (const SliderEdit& edit : SliderEdits()) {
        QWidget* slider = window.Control(edit.id);
        SetAccessibleName(*slider, Capitalised(ParameterTitle(OnPath(edit.parameter, micView), language)));
        // The name says more than the label above the slider ("Effect 2 HPF", "HPF"), and a screen reader
        // speaks a linked label instead of the name: the label is not linked.
        if (const auto* name = window.Control<QLabel>(edit.nameLabel)) {
            SetAccessibleDescription(*slider, name->toolTip());
        }
    }
    window.Control<QLabel>(kAutoSubCaption)->setBuddy(window.Control(kAutoSubBox));
}

void DescribeCompressor(MainWindow& window) {
    const bool micView = window.MicView() != 0;
    const int language = window.Language();
    QString text;
    for (const char* name : {"CompressThreshold_Mic", "CompressRatio_Mic"}) {
        const ParameterRef shown = OnPath(Named(name), micView);
        if (!text.isEmpty()) {
            text += language != 0 ? QStringLiteral(", ") : QStringLiteral("，");
        }
        text += Capitalised(ParameterTitle(shown, language)) + QLatin1Char(' ') +
                QString::fromStdString(shown.Shown(ReadValue(window.Session(), shown), language));
    }
    if (ReadValue(window.Session(), OnPath(Named(FindControlSlot(kCompressOnBox)->parameter), micView)) ==
        0) {
        text += QString::fromUtf8(kCurveOff.In(language));
    }
    SetAccessibleDescription(*window.Control(kCompressPanel), text);
}

}  // namespace varnoth::mainwin
