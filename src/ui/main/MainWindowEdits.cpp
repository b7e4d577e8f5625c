// The main window's edit handlers: every user edit is written to the store and the device at once.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>

#include "session/DeviceSession.h"
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
// Undo sources within a graph's 64: a band's is its page or view × 16 + its index; these follow them.
constexpr int kCopyGraphSource = 62;
constexpr int kWholeGraphSource = 63;
constexpr int kCheckBoxes[] = {kPeqOnBox, kCompressOnBox, kAutoSubBox, kPhaseBox, kRawValuesBox};
constexpr int kPageButtons[] = {kCenterPageButton, kMicPageButton, kMusicPageButton, kSubPageButton};

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void MainWindow::ConnectEdits() {
    for (const SliderEdit& edit : SliderEdits()) {
        const int id = edit.id;
        connect(Control<TrackSlider>(id), &TrackSlider::userMoved, this,
                [this, id] { OnSliderScrolled(id); });
    }
    for (const int id : kCheckBoxes) {
        connect(Control<QCheckBox>(id), &QCheckBox::clicked, this,
                [this, id](bool on) { OnCheckBox(id, on); });
    }
    for (const int id : {kEffect1List, kEffect2List, kCompressPresetList}) {
        connect(Control<QComboBox>(id), &QComboBox::activated, this,
                [this, id](int index) { OnPresetChosen(id, index); });
    }
    connect(Control<QAbstractButton>(kMicViewButton), &QAbstractButton::clicked, this,
            [this] { OnChannelButton(true); });
    connect(Control<QAbstractButton>(kMusicViewButton), &QAbstractButton::clicked, this,
            [this] { OnChannelButton(false); });
    for (int page = 0; page < kEqPages; ++page) {
        connect(Control<QAbstractButton>(kPageButtons[page]), &QAbstractButton::clicked, this,
                [this, page] { ShowEqPage(page); });
    }
    for (EqGraph* panel : {m_graphicPanel, m_peqPanel}) {
        connect(panel, &EqGraph::pointChanged, this, &MainWindow::OnEqPoint);
        connect(panel, &EqGraph::pointSelected, this, &MainWindow::OnEqPoint);
        connect(panel, &EqGraph::pointsChanged, this, &MainWindow::OnEqPoints);
        connect(panel, &EqGraph::menuAboutToShow, this, &MainWindow::OnEqMenu);
    }
}

void MainWindow::SetText(int id, const QString& text) {
    if (auto* label = Control<QLabel>(id)) {
        label->setText(text);
    }
}

QString MainWindow::EffectText(int sliderId, std::uint8_t value) const {
    const int first = sliderId < kEffect2SendSlider ? kEffect1SendSlider : kEffect2SendSlider;
    const int index = sliderId - first;
    if (index == 0 || m_rawValues) {
        return Utf8(ValueFormat::RawText(value));
    }
    switch (index) {
        case 1:
            return Utf8(ValueFormat::EffectHpfText(value));
        case 2:
            return Utf8(ValueFormat::EffectHsfText(value));
        case 3:
            return Utf8(ValueFormat::EffectLevelText(value));
        case 4:
            return Utf8(ValueFormat::EffectDelayText(value));
        default:
            return Utf8(ValueFormat::EffectFeedbackText(value));
    }
}

void MainWindow::OnSliderScrolled(int id) {
    const SliderEdit* edit = FindSliderEdit(id);
    auto* slider = Control<QSlider>(id);
    const auto value =
        static_cast<std::uint8_t>(SliderValue(edit->rule, slider->maximum(), slider->sliderPosition()));
    const Param param = OnPath(edit->param, m_micView != 0);
    const WindowUndo::Edit step(*m_undo, id * 2 + m_micView, ParameterTitle(ParamName(param), m_language));
    switch (edit->after) {
        case AfterEdit::ValueLabel:
            SetText(edit->valueLabel, Utf8(ValueFormat::RawText(value)));
            WriteParam(m_session, param, value);
            break;
        case AfterEdit::SubFrequencyLabel:
            WriteParam(m_session, param, value);
            SetText(edit->valueLabel, Utf8(ValueFormat::SubFrequencyText(value)));
            break;
        case AfterEdit::RefreshCompressor:
            WriteParam(m_session, param, value);
            RefreshCompressor();
            break;
        case AfterEdit::EffectLabel:
            SetText(edit->valueLabel, EffectText(id, value));
            WriteParam(m_session, param, value);
            break;
        case AfterEdit::RefreshAutoSub:
            WriteParam(m_session, param, value);
            RefreshAutoSub();
            break;
        case AfterEdit::MasterVolume:
            if (VolumeLocked(m_session.GetMachineSet(), id)) {
                ShowNotice(QString::fromUtf8(VolumeLockedNotice(id, m_language)), kNoticeMs);
                slider->setValue(ReadParam(m_session, param));
                return;
            }
            WriteParam(m_session, param, value);
            SetText(edit->valueLabel, Utf8(ValueFormat::RawText(value)));
            break;
    }
}

void MainWindow::OnCheckBox(int id, bool on) {
    const bool micView = m_micView != 0;
    const WindowUndo::Edit step(*m_undo, id, Control<QCheckBox>(id)->text().toStdString());
    switch (id) {
        case kPeqOnBox:
            WriteParam(m_session, OnPath(Param::PEQOn_Mic, micView), on ? 1 : 0);
            m_peqPanel->SetOff(!on);
            m_peqPanel->update();
            break;
        case kCompressOnBox:
            WriteParam(m_session, OnPath(Param::CompressOn_Mic, micView), on ? 1 : 0);
            for (int slider = kThresholdSlider; slider <= kBoostSlider; ++slider) {
                Control(slider)->setEnabled(on);
            }
            m_compressPanel->SetEnabledCurve(on);
            m_compressPanel->update();
            break;
        case kAutoSubBox: {
            const MicControlSubSetting setting =
                ToggledMicControlSub(m_session.GetMicControlSubTime(), m_session.GetMicControlSubRate());
            m_session.SetMicControlSub(setting.time, setting.rate);
            RefreshAutoSub();
            break;
        }
        case kPhaseBox:
            WriteParam(m_session, Param::SubPhase180, on ? 1 : 0);
            break;
        case kRawValuesBox:
            m_rawValues = on ? 1 : 0;
            RefreshEffect(0);
            RefreshEffect(1);
            break;
        default:
            break;
    }
}

void MainWindow::OnPresetChosen(int id, int index) {
    if (index < 0) {
        return;
    }
    // The lists show the store's presets; choosing the one already shown changes nothing, so it loads
    // nothing and keeps the edits made since.
    const auto preset = static_cast<std::uint8_t>(index);
    const WindowUndo::Edit step(*m_undo, id, Control<QComboBox>(id)->itemText(index).toStdString());
    if (id == kCompressPresetList) {
        if (preset == ReadParam(m_session, OnPath(Param::CompressPreset_Mic, m_micView != 0))) {
            return;
        }
        ChooseCompressorPreset(m_session, m_micView != 0, preset);
        RefreshCompressor();
        return;
    }
    const int effect = id == kEffect1List ? 0 : 1;
    if (preset == m_session.GetEffectPreset(effect)) {
        return;
    }
    m_session.SetEffectPre(effect, preset);
    RefreshEffect(effect);
}

void MainWindow::OnChannelButton(bool micView) {
    m_micView = micView ? 1 : 0;
    ShowChannel();
    Control<ImageButton>(kMicViewButton)->SetAltState(micView);
    Control<ImageButton>(kMusicViewButton)->SetAltState(!micView);
    update(Control(kChannelGroup)->geometry());
}

void MainWindow::OnEqPoint(const EqPoint& point, int controlId) {
    const int source =
        controlId * 64 + (controlId == kGraphicPanel ? m_eqPage : m_micView) * 16 + point.index;
    const WindowUndo::Edit step(
        *m_undo, source,
        ParameterTitle(ParamName(OnPath(Param::PEQOn_Mic, m_micView != 0)), m_language) +
            kBandAction.In(m_language) + std::to_string(point.index + 1));
    if (controlId == kGraphicPanel) {
        const std::uint8_t value = ValueFormat::GeqByte(point.gain);
        if (value != ReadGraphicBand(m_session, m_eqPage, point.index)) {
            WriteGraphicBand(m_session, m_eqPage, point.index, value);
        }
        return;
    }
    const PeqBandParams* band = PeqBand(point.index);
    if (controlId != kPeqPanel || band == nullptr) {
        return;
    }
    const bool micView = m_micView != 0;
    // A value the band still shows as it was read from the store keeps the store's byte: byte to value to
    // byte does not give every byte back, so a press that moves nothing changes nothing.
    struct Field {
        Param param;
        std::uint8_t stored;
        std::uint8_t value;
    };
    const auto field = [&](Param param, float shown, auto valueOf, auto byteOf) {
        const Param onPath = OnPath(param, micView);
        const std::uint8_t stored = ReadParam(m_session, onPath);
        return Field{onPath, stored, shown == valueOf(stored) ? stored : byteOf(shown)};
    };
    const int index = point.index;
    Field fields[3];
    int count = 0;
    fields[count++] = field(band->gain, point.gain, ValueFormat::PeqGainDb, ValueFormat::PeqGainByte);
    fields[count++] = field(
        band->freq, point.freq, [index](std::uint8_t f) { return ValueFormat::PeqFrequencyHz(index, f); },
        [index](double hz) { return ValueFormat::PeqFrequencyByte(index, hz); });
    if (band->q != Param::Count) {
        fields[count++] = field(band->q, point.q, ValueFormat::PeqQ, ValueFormat::PeqQByte);
    }
    bool changed = false;
    for (int k = 0; k < count; ++k) {
        changed = changed || fields[k].value != fields[k].stored;
    }
    if (!changed) {
        return;
    }
    for (int k = 0; k < count; ++k) {
        WriteParam(m_session, fields[k].param, fields[k].value);
    }
}

void MainWindow::OnEqPoints(int controlId) {
    // Every band moved at once (a shift of all gains) is one step, whichever bands it changed.
    const bool graphic = controlId == kGraphicPanel;
    const std::string title =
        graphic ? std::string(EqPageTitle(m_eqPage, m_language))
                : ParameterTitle(ParamName(OnPath(Param::PEQOn_Mic, m_micView != 0)), m_language);
    const WindowUndo::Edit step(*m_undo, controlId * 64 + kWholeGraphSource,
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
    const WindowUndo::Edit step(*m_undo, kGraphicPanel * 64 + kCopyGraphSource,
                                std::string(kCopyEqAction.In(m_language)) + EqPageTitle(toPage, m_language));
    for (int band = 0; band < kGraphicBands; ++band) {
        const std::uint8_t value = ReadGraphicBand(m_session, m_eqPage, band);
        if (value != ReadGraphicBand(m_session, toPage, band)) {
            WriteGraphicBand(m_session, toPage, band, value);
        }
    }
}

}  // namespace varnoth
