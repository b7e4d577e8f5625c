// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's edit handlers: every user edit is written to the store and the device at once.

#include <QAbstractButton>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/ValueFormat.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/TrackSlider.h"
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

constexpr int kNoticeMs = 1200;
constexpr int kCheckBoxes[] = {kPeqOnBox, kCompressOnBox, kAutoSubBox, kPhaseBox, kRawValuesBox};

}  // namespace

void MainWindow::ConnectEdits() {
    for (const SliderEdit& edit : SliderEdits()) {
        const int id = edit.id;
        connect(Control<TrackSlider>(id), &TrackSlider::userMoved, this,
                [this, id] { OnSliderScrolled(id); });
        connect(Control<TrackSlider>(id), &TrackSlider::sliderReleased, this,
                [this, id] { ShowSlider(*FindSliderEdit(id)); });
    }
    for (const int id : kCheckBoxes) {
        connect(Control<QCheckBox>(id), &QCheckBox::clicked, this,
                [this, id](bool on) { OnCheckBox(id, on); });
    }
    for (const int id : {kEffect1List, kEffect2List, kCompressPresetList}) {
        connect(Control<QComboBox>(id), &QComboBox::activated, this,
                [this, id](int index) { OnPresetChosen(id, index); });
    }
    for (EqGraph* panel : {m_graphicPanel, m_peqPanel}) {
        connect(panel, &EqGraph::pointChanged, this, &MainWindow::OnEqPoint);
        connect(panel, &EqGraph::pointSelected, this, &MainWindow::OnEqPoint);
        connect(panel, &EqGraph::pointsChanged, this, &MainWindow::OnEqPoints);
        connect(panel, &EqGraph::menuAboutToShow, this, &MainWindow::OnEqMenu);
        panel->SetHeldValues(
            [this, id = panel->ControlId()](const EqPoint& point) { return HeldEqValues(point, id); });
    }
}

void MainWindow::SetText(int id, const QString& text) {
    if (auto* label = Control<QLabel>(id)) {
        label->setText(text);
    }
}

// A slider writes its parameter; it and its label show the value once the store tells of it.
void MainWindow::OnSliderScrolled(int id) {
    const SliderEdit* edit = FindSliderEdit(id);
    auto* slider = Control<QSlider>(id);
    const ParameterRef parameter = OnPath(edit->parameter, m_micView != 0);
    if (VolumeLocked(m_session.GetMachineSet(), id)) {
        ShowNotice(QString::fromUtf8(VolumeLockedNotice(id, m_language)), kNoticeMs);
        slider->setValue(ReadValue(m_session, parameter));
        return;
    }
    const auto value =
        static_cast<std::uint8_t>(SliderValue(edit->rule, SliderMaximum(*edit), slider->sliderPosition()));
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Control, id, m_micView),
                                ParameterTitle(parameter, m_language));
    WriteParameter(m_session, parameter, value);
}

void MainWindow::OnCheckBox(int id, bool on) {
    const bool micView = m_micView != 0;
    if (id == kRawValuesBox) {
        m_rawValues = on ? 1 : 0;
        ShowStore(ChangeRange(pos::Effect1, pos::kEffectParams * 2) | ChangeRange(pos::ChToEffect1, 2));
        return;
    }
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Control, id, m_micView),
                                Control<QCheckBox>(id)->text().toStdString());
    const ControlSlot* slot = FindControlSlot(id);
    if (slot == nullptr) {
        return;
    }
    const ParameterRef parameter = OnPath(Named(slot->parameter), micView);
    // The auto sub's box switches the function by the stored time and rate, whatever the box shows.
    if (parameter.param->access == ParamAccess::MicControlSubTime) {
        const MicControlSubSetting setting =
            ToggledMicControlSub(m_session.GetMicControlSubTime(), m_session.GetMicControlSubRate());
        m_session.SetMicControlSub(setting.time, setting.rate);
        return;
    }
    WriteParameter(m_session, parameter, on ? 1 : 0);
}

void MainWindow::OnPresetChosen(int id, int index) {
    if (index < 0) {
        return;
    }
    // The lists show the store's presets; choosing the one already shown changes nothing, so it loads
    // nothing and keeps the edits made since.
    const auto preset = static_cast<std::uint8_t>(index);
    const bool micView = m_micView != 0;
    auto* list = Control<QComboBox>(id);
    // A screen reader says nothing of a closed list whose item the keys changed.
    if (list->hasFocus()) {
        Announce(list->itemText(index));
    }
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Control, id, m_micView),
                                list->itemText(index).toStdString());
    if (id == kCompressPresetList) {
        if (preset != ReadValue(m_session, OnPath(Named("CompressPreset_Mic"), micView))) {
            ChooseCompressorPreset(m_session, micView, preset);
        }
        return;
    }
    const int effect = id == kEffect1List ? 0 : 1;
    if (preset != m_session.Store().Value(pos::OfEffect(effect, pos::EffectPreset))) {
        m_session.ChooseEffectPreset(effect, preset);
    }
}

void MainWindow::OnChannelButton(bool micView) {
    m_micView = micView ? 1 : 0;
    ShowChannel();
    update(Control(kChannelGroup)->geometry());
}

namespace {

// The byte a value shown on an EQ graph stands for. A value the graph still shows as the store holds it keeps
// the store's byte (byte to value to byte does not give every byte back), so a press that moves nothing
// changes nothing. A step of the keys or the wheel smaller than the amplifier's own moves by one of its
// steps, so that every step is heard and the graph never shows a value between two; a drag follows the
// pointer.
template <class ValueOf, class ByteOf>
std::uint8_t EqByte(float shown, std::uint8_t stored, bool dragged, const ParameterRef& ref, ValueOf valueOf,
                    ByteOf byteOf) {
    const float held = static_cast<float>(valueOf(stored));
    if (shown == held) {
        return stored;
    }
    const int byte = byteOf(shown);
    if (byte != stored || dragged) {
        return static_cast<std::uint8_t>(byte);
    }
    return static_cast<std::uint8_t>(
        std::clamp(stored + (shown > held ? 1 : -1), ref.param->min, ref.param->max));
}

// A field of a parametric band: its parameter, the value the graph shows for it and the conversions between
// that value and the parameter's byte.
struct PeqFieldRule {
    std::optional<ParameterRef> (*parameter)(const PeqBandParameters& band);
    float EqPoint::*shown;
    float (*valueOf)(int band, std::uint8_t byte);
    std::uint8_t (*byteOf)(int band, double value);
};

// In the order a band edit writes them.
constexpr std::array<PeqFieldRule, 3> kPeqFieldRules = {{
    {[](const PeqBandParameters& b) { return std::optional(b.gain); }, &EqPoint::gain,
     [](int, std::uint8_t g) { return ValueFormat::PeqGainDb(g); },
     [](int, double db) { return ValueFormat::PeqGainByte(db); }},
    {[](const PeqBandParameters& b) { return std::optional(b.freq); }, &EqPoint::freq,
     ValueFormat::PeqFrequencyHz, ValueFormat::PeqFrequencyByte},
    {[](const PeqBandParameters& b) { return b.q; }, &EqPoint::q,
     [](int, std::uint8_t q) { return ValueFormat::PeqQ(q); },
     [](int, double q) { return ValueFormat::PeqQByte(q); }},
}};

// A field of a parametric band on the shown path: the store's byte and the byte the graph's value stands for.
struct PeqField {
    const PeqFieldRule* rule;
    ParameterRef parameter;
    std::uint8_t stored;
    std::uint8_t value;
};

// The store's byte of a graphic band on the shown page and the byte the graph's gain stands for; none for a
// band outside the page.
struct GraphicField {
    ParameterRef ref;
    std::uint8_t stored;
    std::uint8_t value;
};

std::optional<GraphicField> GraphicFieldOf(const DeviceSession& session, int page, const EqPoint& point,
                                           bool dragged) {
    const std::optional<ParameterRef> ref = GraphicBandParameter(page, point.index);
    if (!ref) {
        return std::nullopt;
    }
    const std::uint8_t stored = ReadGraphicBand(session, page, point.index);
    return GraphicField{
        *ref, stored,
        EqByte(point.gain, stored, dragged, *ref, ValueFormat::GeqGainDb, ValueFormat::GeqByte)};
}

std::vector<PeqField> PeqFields(const DeviceSession& session, bool micView, const EqPoint& point,
                                bool dragged) {
    std::vector<PeqField> fields;
    const PeqBandParameters* band = PeqBand(point.index);
    if (band == nullptr) {
        return fields;
    }
    const int index = point.index;
    for (const PeqFieldRule& rule : kPeqFieldRules) {
        const std::optional<ParameterRef> field = rule.parameter(*band);
        if (!field) {
            continue;
        }
        const ParameterRef onPath = OnPath(*field, micView);
        const std::uint8_t stored = ReadValue(session, onPath);
        const std::uint8_t value = EqByte(
            point.*rule.shown, stored, dragged, onPath,
            [&rule, index](std::uint8_t byte) { return rule.valueOf(index, byte); },
            [&rule, index](double shown) { return rule.byteOf(index, shown); });
        fields.push_back({&rule, onPath, stored, value});
    }
    return fields;
}

}  // namespace

EqPoint MainWindow::HeldEqValues(const EqPoint& point, int controlId) const {
    EqPoint held = point;
    if (controlId == kGraphicPanel) {
        if (const std::optional<GraphicField> field = GraphicFieldOf(m_session, m_eqPage, point, true)) {
            held.gain = static_cast<float>(ValueFormat::GeqGainDb(field->value));
        }
        return held;
    }
    for (const PeqField& field : PeqFields(m_session, m_micView != 0, point, true)) {
        held.*field.rule->shown = field.rule->valueOf(point.index, field.value);
    }
    return held;
}

void MainWindow::OnEqPoint(const EqPoint& point, int controlId) {
    const bool graphic = controlId == kGraphicPanel;
    const bool micView = m_micView != 0;
    const std::string title = graphic ? ParameterTitle(GraphicBankName(m_eqPage), m_language)
                                      : ParameterTitle(OnPath(Named("PEQOn_Mic"), micView), m_language);
    const WindowUndo::Edit step(
        *m_undo,
        UndoSource::Of(UndoSource::Kind::EqBand, controlId, graphic ? m_eqPage : m_micView, point.index),
        title + kBandAction.In(m_language) + std::to_string(point.index + 1));
    const bool dragged = (graphic ? m_graphicPanel : m_peqPanel)->DraggedPoint() == point.index;
    if (graphic) {
        const std::optional<GraphicField> field = GraphicFieldOf(m_session, m_eqPage, point, dragged);
        if (!field) {
            return;
        }
        if (field->value != field->stored) {
            WriteGraphicBand(m_session, m_eqPage, point.index, field->value);
        } else {
            m_session.Store().Touch(static_cast<std::size_t>(field->ref.Position()));
        }
        return;
    }
    if (controlId != kPeqPanel) {
        return;
    }
    const std::vector<PeqField> fields = PeqFields(m_session, micView, point, dragged);
    if (fields.empty()) {
        return;
    }
    const bool changed =
        std::any_of(fields.begin(), fields.end(), [](const PeqField& f) { return f.value != f.stored; });
    if (!changed) {
        // The graph may show a value between two of the amplifier's: it shows the store's again.
        m_session.Store().Touch(static_cast<std::size_t>(fields.front().parameter.Position()));
        return;
    }
    for (const PeqField& field : fields) {
        if (field.value != field.stored) {
            WriteParameter(m_session, field.parameter, field.value);
        }
    }
}

void MainWindow::OnEqPoints(int controlId) {
    // Every band moved at once (a shift of all gains) is one step, whichever bands it changed.
    const bool graphic = controlId == kGraphicPanel;
    const std::string title = graphic
                                  ? std::string(EqPageTitle(m_eqPage, m_language))
                                  : ParameterTitle(OnPath(Named("PEQOn_Mic"), m_micView != 0), m_language);
    const WindowUndo::Edit step(
        *m_undo, UndoSource::Of(UndoSource::Kind::EqAllBands, controlId, graphic ? m_eqPage : m_micView),
        title + kAllBandsAction.In(m_language));
    EqGraph* panel = graphic ? m_graphicPanel : m_peqPanel;
    for (int band = 0; band < panel->PointCount(); ++band) {
        OnEqPoint(panel->Point(band), controlId);
    }
}

void MainWindow::OnEqMenu(QMenu* menu, int controlId) {
    if (controlId != kGraphicPanel) {
        return;
    }
    QMenu* copy = menu->addMenu(QString::fromUtf8(CopyEqMenuText(m_language)));
    for (int page = 0; page < kEqPages; ++page) {
        if (page != m_eqPage) {
            copy->addAction(QString::fromUtf8(EqPageTitle(page, m_language)), this,
                            [this, page] { CopyGraphicEq(page); });
        }
    }
}

void MainWindow::CopyGraphicEq(int toPage) {
    const WindowUndo::Edit step(*m_undo,
                                UndoSource::Of(UndoSource::Kind::EqCopy, kGraphicPanel, m_eqPage, toPage),
                                std::string(kCopyEqAction.In(m_language)) + EqPageTitle(toPage, m_language));
    for (int band = 0; band < kGraphicBands; ++band) {
        const std::uint8_t value = ReadGraphicBand(m_session, m_eqPage, band);
        if (value != ReadGraphicBand(m_session, toPage, band)) {
            WriteGraphicBand(m_session, toPage, band, value);
        }
    }
}

}  // namespace varnoth
