#include "ui/main/QuickResets.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMouseEvent>

#include "session/DeviceSession.h"
#include "session/EditHistory.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/StepText.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

// The source of the resets' steps: apart from every control ID and from the compare commands.
constexpr int kResetSource = -3;
// The frame of the master volumes.
constexpr int kVolumeGroup = 1153;
constexpr int kNoticeMs = 1200;
constexpr std::uint8_t kPeqOn = 0x7F;

constexpr Bilingual kGroupEntry{"%1恢复默认值", "Reset %1 to defaults"};
constexpr Bilingual kChannelNames[2] = {{"音乐通道", "music channel"}, {"话筒通道", "mic channel"}};
constexpr Bilingual kEffectNames[2] = {{"效果一", "effect 1"}, {"效果二", "effect 2"}};
constexpr Bilingual kAutoSubName{"演唱时超低自控", "auto sub"};
constexpr Bilingual kSubwooferName{"超低", "subwoofer"};
constexpr Bilingual kVolumesName{"输出音量", "output volumes"};

constexpr Param kEffectParams[2][6] = {
    {Param::ChToEffect1, Param::EffectHPF_0, Param::EffectHSF_0, Param::EffectLevel_0,
     Param::EffectDelayTime_0, Param::EffectFeedback_0},
    {Param::ChToEffect2, Param::EffectHPF_1, Param::EffectHSF_1, Param::EffectLevel_1,
     Param::EffectDelayTime_1, Param::EffectFeedback_1},
};
constexpr Param kSubwooferParams[] = {Param::SubLevel, Param::SubFrequency, Param::SubResonance,
                                      Param::SubPhase180};
constexpr Param kAutoSubParams[] = {Param::MicControlSubTime, Param::MicControlSubRate};
// The master volumes with their sliders, for the locks.
struct Volume {
    Param param;
    int slider;
};
constexpr Volume kVolumes[] = {{Param::MicVol, kMicVolSlider},
                               {Param::MusicVol, kMusicVolSlider},
                               {Param::CenterVol, kCenterVolSlider},
                               {Param::SubVol, kSubVolSlider}};

ParameterRef RefOf(Param param) {
    return *FindParameter(ParamName(param));
}

// The default as the store holds it once set: a switch stores on or off.
std::uint8_t StoredDefault(const ParameterRef& ref) {
    const std::uint8_t value = ref.Default();
    switch (ref.param->registers.rule) {
        case ValueRule::PeqSwitch:
            return value != 0 ? kPeqOn : 0;
        case ValueRule::SubPhase:
            return value != 0 ? 1 : 0;
        default:
            return value;
    }
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

// The group box (no ID of its own) that frames a control.
QWidget* BoxAround(MainWindow& window, int controlId) {
    const QWidget* control = window.Control(controlId);
    for (QGroupBox* box : window.findChildren<QGroupBox*>()) {
        if (box->parentWidget() == control->parentWidget() &&
            box->geometry().contains(control->geometry().center())) {
            return box;
        }
    }
    return nullptr;
}

bool Contains(const QWidget* widget, const QPoint& global) {
    return widget != nullptr && widget->rect().contains(widget->mapFromGlobal(global));
}

}  // namespace

QuickResets::QuickResets(MainWindow& window, DeviceSession& session, WindowUndo& undo)
    : m_window(window),
      m_session(session),
      m_undo(undo),
      m_groupAction(new QAction(&window)),
      m_autoSubBox(BoxAround(window, kSubTimeSlider)),
      m_subwooferBox(BoxAround(window, kSubLevelSlider)) {
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
    const QWidget* effects = m_window.Control(kEffectGroup);
    if (Contains(effects, global)) {
        // The effects share one frame: the line between them divides it.
        const QWidget* lastOfFirst = m_window.Control(kEffect2SendSlider - 1);
        const QWidget* firstOfSecond = m_window.Control(kEffect2SendSlider);
        const int divide = (lastOfFirst->mapToGlobal(QPoint(lastOfFirst->width(), 0)).x() +
                            firstOfSecond->mapToGlobal(QPoint()).x()) /
                           2;
        return global.x() < divide ? Group::Effect1 : Group::Effect2;
    }
    const std::pair<const QWidget*, Group> areas[] = {
        {m_window.Control(kChannelGroup), Group::Channel},
        {m_autoSubBox, Group::AutoSub},
        {m_subwooferBox, Group::Subwoofer},
        {m_window.Control(kEqGroup), Group::GraphicEq},
        {m_window.Control(kVolumeGroup), Group::Volumes},
    };
    for (const auto& [area, group] : areas) {
        if (Contains(area, global)) {
            return group;
        }
    }
    return std::nullopt;
}

QString QuickResets::GroupEntry(Group group) const {
    const int language = m_window.Language();
    std::string name;
    switch (group) {
        case Group::Channel:
            name = kChannelNames[m_window.MicView() != 0 ? 1 : 0].In(language);
            break;
        case Group::Effect1:
        case Group::Effect2:
            name = kEffectNames[group == Group::Effect1 ? 0 : 1].In(language);
            break;
        case Group::AutoSub:
            name = kAutoSubName.In(language);
            break;
        case Group::Subwoofer:
            name = kSubwooferName.In(language);
            break;
        case Group::GraphicEq:
            name = ParameterTitle(GraphicBankName(m_window.EqPage()), language);
            break;
        case Group::Volumes:
            name = kVolumesName.In(language);
            break;
    }
    return QString::fromUtf8(kGroupEntry.In(language)).arg(QString::fromStdString(name));
}

std::vector<ParameterRef> QuickResets::GroupParameters(Group group) const {
    std::vector<ParameterRef> refs;
    const auto add = [&refs](const auto& params) {
        for (const Param param : params) {
            refs.push_back(RefOf(param));
        }
    };
    switch (group) {
        case Group::Channel:
            for (int i = 0; i < kParamCount; ++i) {
                const auto param = static_cast<Param>(i);
                if (IsPathParam(param) && OnPath(param, m_window.MicView() != 0) == param) {
                    refs.push_back(RefOf(param));
                }
            }
            break;
        case Group::Effect1:
        case Group::Effect2:
            add(kEffectParams[group == Group::Effect1 ? 0 : 1]);
            break;
        case Group::AutoSub:
            add(kAutoSubParams);
            break;
        case Group::Subwoofer:
            add(kSubwooferParams);
            break;
        case Group::GraphicEq:
            for (int band = 0; band < kGraphicBands; ++band) {
                refs.push_back(*GraphicBandParameter(m_window.EqPage(), band));
            }
            break;
        case Group::Volumes:
            for (const Volume& volume : kVolumes) {
                if (!VolumeLocked(m_session.GetMachineSet(), volume.slider)) {
                    refs.push_back(RefOf(volume.param));
                }
            }
            break;
    }
    return refs;
}

void QuickResets::ResetGroup(Group group) {
    if (group == Group::Volumes) {
        for (const Volume& volume : kVolumes) {
            if (VolumeLocked(m_session.GetMachineSet(), volume.slider)) {
                m_window.ShowNotice(QString::fromUtf8(VolumeLockedNotice(volume.slider, m_window.Language())),
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
    const Param param = OnPath(edit->param, m_window.MicView() != 0);
    if (edit->after == AfterEdit::MasterVolume && VolumeLocked(m_session.GetMachineSet(), sliderId)) {
        m_window.ShowNotice(QString::fromUtf8(VolumeLockedNotice(sliderId, m_window.Language())), kNoticeMs);
        return;
    }
    Reset({RefOf(param)}, ParameterTitle(ParamName(param), m_window.Language()));
}

void QuickResets::Reset(const std::vector<ParameterRef>& params, const std::string& action) {
    if (m_window.IsSyncing()) {
        return;
    }
    EditStep change;
    change.before = CaptureWorkingSet(m_session);
    change.after = change.before;
    for (const ParameterRef& ref : params) {
        const std::size_t i = WorkingSetIndex(ref);
        if (i < change.after.size()) {
            change.after[i] = StoredDefault(ref);
        }
    }
    if (change.after == change.before) {
        return;
    }
    m_undo.NewGesture();
    {
        const WindowUndo::Edit step(m_undo, kResetSource, action);
        ApplyStep(m_session, change, false);
    }
    m_undo.NewGesture();
    m_window.RefreshAll();
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
