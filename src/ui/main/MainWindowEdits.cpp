// The main window's edit handlers: every user edit is written to the store and the device at once.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include "session/DeviceSession.h"
#include "session/ValueFormat.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/StepSlider.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/WindowParams.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kNoticeMs = 1200;
constexpr int kCheckBoxes[] = {kPeqOnBox, kCompressOnBox, kAutoSubBox, kPhaseBox, kRawValuesBox};
constexpr int kPageButtons[] = {kCenterPageButton, kMicPageButton, kMusicPageButton, kSubPageButton};

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void MainWindow::ConnectEdits() {
    for (const SliderEdit& edit : SliderEdits()) {
        auto* slider = Control<QSlider>(edit.id);
        const int id = edit.id;
        if (auto* stepSlider = qobject_cast<StepSlider*>(slider)) {
            connect(stepSlider, &StepSlider::scrolled, this, [this, id] { OnSliderScrolled(id); });
        } else {
            connect(slider, &QAbstractSlider::actionTriggered, this, [this, id] { OnSliderScrolled(id); });
            connect(slider, &QAbstractSlider::sliderReleased, this, [this, id] { OnSliderScrolled(id); });
        }
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
    const auto preset = static_cast<std::uint8_t>(index);
    if (id == kCompressPresetList) {
        ChooseCompressorPreset(m_session, m_micView != 0, preset);
        RefreshCompressor();
        return;
    }
    const int effect = id == kEffect1List ? 0 : 1;
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
    if (controlId == kGraphicPanel) {
        WriteGraphicBand(m_session, m_eqPage, point.index, ValueFormat::GeqByte(point.gain));
        return;
    }
    const PeqBandParams* band = PeqBand(point.index);
    if (controlId != kPeqPanel || band == nullptr) {
        return;
    }
    const bool micView = m_micView != 0;
    WriteParam(m_session, OnPath(band->gain, micView), ValueFormat::PeqGainByte(point.gain));
    WriteParam(m_session, OnPath(band->freq, micView),
               ValueFormat::PeqFrequencyByte(point.index, point.freq));
    if (band->q != Param::Count) {
        WriteParam(m_session, OnPath(band->q, micView), ValueFormat::PeqQByte(point.q));
    }
}

}  // namespace varnoth
