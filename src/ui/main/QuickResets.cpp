// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/QuickResets.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

#include "session/DeviceSession.h"
#include "session/EditHistory.h"
#include "session/ParameterAccess.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/StepText.h"
#include "ui/main/WindowGroups.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kNoticeMs = 1200;

constexpr Bilingual kGroupEntry{"%1恢复默认值", "Reset %1 to defaults"};
// The frame that shows each group: the two effects are the parts of their shared frame.
constexpr std::pair<QuickResets::Group, int> kFrames[] = {
    {QuickResets::Group::Channel, kChannelGroup},     {QuickResets::Group::Effect1, kEffect1Group},
    {QuickResets::Group::Effect2, kEffect2Group},     {QuickResets::Group::AutoSub, kAutoSubGroup},
    {QuickResets::Group::Subwoofer, kSubwooferGroup}, {QuickResets::Group::GraphicEq, kEqGroup},
    {QuickResets::Group::Volumes, kVolumeGroup},
};

// The master volume slider of a volume parameter.
int VolumeSlider(const ParameterRef& ref) {
    for (const SliderEdit& edit : SliderEdits()) {
        if (edit.parameter == ref) {
            return edit.id;
        }
    }
    return 0;
}

std::size_t WorkingSetIndex(const ParameterRef& ref) {
    const auto refs = WorkingSetParameters();
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i].param == ref.param && refs[i].index == ref.index) {
            return i;
        }
    }
    return refs.size();
}

bool Contains(const QWidget* widget, const QPoint& global) {
    return widget != nullptr && widget->rect().contains(widget->mapFromGlobal(global));
}

}  // namespace

QuickResets::QuickResets(MainWindow& window, DeviceSession& session, WindowUndo& undo)
    : m_window(window), m_session(session), m_undo(undo), m_groupAction(new QAction(&window)) {
    QMenu* menu = undo.BackgroundMenu();
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    menu->insertAction(first, m_groupAction);
    QAction* separator = menu->insertSeparator(first);
    connect(m_groupAction, &QAction::visibleChanged, separator,
            [this, separator] { separator->setVisible(m_groupAction->isVisible()); });
    m_groupAction->setVisible(false);
    connect(m_groupAction, &QAction::triggered, this, [this] {
        if (m_groupAction->data().isValid()) {
            ResetGroup(static_cast<Group>(m_groupAction->data().toInt()));
        }
    });
    undo.SetMenuPreparer([this](const QPoint& global) {
        const std::optional<Group> group = GroupAt(global);
        m_groupAction->setVisible(group.has_value());
        m_groupAction->setData(group ? QVariant(static_cast<int>(*group)) : QVariant());
        if (group) {
            m_groupAction->setText(GroupEntry(*group));
        }
    });
    for (const int id : {kGraphicPanel, kPeqPanel}) {
        connect(window.Control<EqGraph>(id), &EqGraph::menuAboutToShow, this, &QuickResets::AddToEqMenu);
    }
    qApp->installEventFilter(this);
}

QuickResets::~QuickResets() {
    qApp->removeEventFilter(this);
}

std::optional<QuickResets::Group> QuickResets::GroupAt(const QPoint& global) const {
    for (const auto& [group, frame] : kFrames) {
        if (Contains(m_window.Control(frame), global)) {
            return group;
        }
    }
    return std::nullopt;
}

QString QuickResets::GroupEntry(Group group) const {
    int frame = kNoId;
    for (const auto& [candidate, id] : kFrames) {
        if (candidate == group) {
            frame = id;
        }
    }
    return QString::fromUtf8(kGroupEntry.In(m_window.Language()))
        .arg(QString::fromStdString(GroupName(m_window, frame)));
}

// The parameters a group's frame shows, from the parameter table: the channel strip of the shown path, the
// graphic EQ's shown page, the master volumes that are not locked.
std::vector<ParameterRef> QuickResets::GroupParameters(Group group) const {
    static constexpr ParamGroup kGroups[] = {
        ParamGroup::Channel,   ParamGroup::Effect1,   ParamGroup::Effect2, ParamGroup::AutoSub,
        ParamGroup::Subwoofer, ParamGroup::GraphicEq, ParamGroup::Volumes};
    const ParamGroup wanted = kGroups[static_cast<int>(group)];
    const ParamPath path = m_window.MicView() != 0 ? ParamPath::Mic : ParamPath::Music;
    const std::optional<ParameterRef> page = GraphicBandParameter(m_window.EqPage(), 0);
    std::vector<ParameterRef> refs;
    for (const ParameterRef& ref : AllParameters()) {
        if (ref.Group() != wanted || (wanted == ParamGroup::Channel && ref.param->path != path) ||
            (wanted == ParamGroup::GraphicEq && ref.param != page->param)) {
            continue;
        }
        if (wanted == ParamGroup::Volumes && VolumeLocked(m_session.GetMachineSet(), VolumeSlider(ref))) {
            continue;
        }
        refs.push_back(ref);
    }
    return refs;
}

void QuickResets::ResetGroup(Group group) {
    if (group == Group::Volumes) {
        for (const int slider : kMasterSliders) {
            if (VolumeLocked(m_session.GetMachineSet(), slider)) {
                m_window.ShowNotice(QString::fromUtf8(VolumeLockedNotice(slider, m_window.Language())),
                                    kNoticeMs);
            }
        }
    }
    Reset(GroupParameters(group), GroupEntry(group).toStdString());
}

void QuickResets::ResetSlider(int sliderId) {
    const SliderEdit* edit = FindSliderEdit(sliderId);
    if (edit == nullptr || !m_window.Control(sliderId)->isEnabled()) {
        return;
    }
    const ParameterRef parameter = OnPath(edit->parameter, m_window.MicView() != 0);
    if (VolumeLocked(m_session.GetMachineSet(), sliderId)) {
        m_window.ShowNotice(QString::fromUtf8(VolumeLockedNotice(sliderId, m_window.Language())), kNoticeMs);
        return;
    }
    Reset({parameter}, ParameterTitle(parameter, m_window.Language()));
}

void QuickResets::Reset(const std::vector<ParameterRef>& params, const std::string& action) {
    if (m_window.IsSyncing()) {
        return;
    }
    EditStep change;
    change.before = CaptureWorkingSet(m_session);
    change.after = change.before;
    unsigned presets = 0;
    for (const ParameterRef& ref : params) {
        if (IsEffectPresetValue(ref)) {
            presets |= 1u << ref.index;
            continue;
        }
        const std::size_t i = WorkingSetIndex(ref);
        if (i < change.after.size()) {
            change.after[i] = ref.StoredDefault();
        }
    }
    if (change.after == change.before && presets == 0) {
        return;
    }
    m_undo.NewGesture();
    {
        const WindowUndo::Edit step(m_undo, UndoSource::Of(UndoSource::Kind::Reset), action);
        ApplyStep(m_session, change, false);
        for (int effect = 0; effect < 2; ++effect) {
            if ((presets & (1u << effect)) == 0) {
                continue;
            }
            m_undo.PresetReloaded(effect);
            m_session.ChooseEffectPreset(effect,
                                         m_session.Store().Value(pos::OfEffect(effect, pos::EffectPreset)));
            // The preset sets all of the effect's values: those shown but not reset get theirs back.
            const auto refs = WorkingSetParameters();
            for (std::size_t i = 0; i < refs.size(); ++i) {
                if (IsEffectPresetValue(refs[i]) && refs[i].index == effect &&
                    refs[i].Group() != ParamGroup::Hidden &&
                    std::find(params.begin(), params.end(), refs[i]) == params.end()) {
                    WriteParameter(m_session, refs[i], change.before[i]);
                }
            }
        }
    }
    m_undo.NewGesture();
}

void QuickResets::AddToEqMenu(QMenu* menu, int controlId) {
    const Group group = controlId == kGraphicPanel ? Group::GraphicEq : Group::Channel;
    menu->addSeparator();
    menu->addAction(GroupEntry(group), this, [this, group] { ResetGroup(group); });
}

int QuickResets::SliderOf(const QObject* widget) const {
    for (const SliderEdit& edit : SliderEdits()) {
        if (widget == m_window.Control(edit.id) || widget == m_window.Control(edit.nameLabel)) {
            return edit.id;
        }
    }
    return 0;
}

bool QuickResets::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers().testFlag(Qt::ControlModifier)) {
            if (const int slider = SliderOf(watched)) {
                ResetSlider(slider);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varnoth
