// The main window's refresh routines: the session's store into the controls.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "session/DeviceSession.h"
#include "session/ValueFormat.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/ImageResources.h"
#include "ui/controls/LevelMeter.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/main/EditRules.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kMicPicture = 214;
constexpr int kMusicPicture = 213;

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The master volumes: slider, value label, parameter and the maximum the saved machine settings give it.
struct MasterVolume {
    int slider;
    int label;
    Param param;
    std::uint8_t (MachineSettings::*maximum)() const;
};
constexpr MasterVolume kMasterVolumes[] = {
    {kMicVolSlider, kMicVolValue, Param::MicVol, &MachineSettings::GetMaxMicVol},
    {kMusicVolSlider, kMusicVolValue, Param::MusicVol, &MachineSettings::GetMaxMusicVol},
    {kCenterVolSlider, kCenterVolValue, Param::CenterVol, &MachineSettings::GetMaxCenterVol},
    {kSubVolSlider, kSubVolValue, Param::SubVol, &MachineSettings::GetMaxSubVol},
};

// A list shows no selection for a preset number it does not have.
void SelectPreset(QComboBox& list, int preset) {
    list.setCurrentIndex(preset < list.count() ? preset : -1);
}

}  // namespace

void MainWindow::RefreshAll() {
    RefreshVolumes();
    MarkEqPageButton();
    ShowEqPage(m_eqPage);
    RefreshAutoSub();
    RefreshSub();
    RefreshEffect(0);
    RefreshEffect(1);
    MarkModeButton();
    ShowChannel();
    if (m_settingsDialog) {
        m_settingsDialog->ShowSaved();
    }
}

void MainWindow::RefreshVolumes() {
    ReLimitMasterVolumes();
    for (const int id : {kEffect1SendSlider, kEffect2SendSlider}) {
        const SliderEdit* edit = FindSliderEdit(id);
        const std::uint8_t value = ReadParam(m_session, edit->param);
        Control<QSlider>(id)->setValue(SliderPosition(edit->rule, edit->maximum, value));
        SetText(edit->valueLabel, Utf8(ValueFormat::RawText(value)));
    }
}

void MainWindow::ReLimitMasterVolumes() {
    const MachineSettings& machine = m_session.GetMachineSet();
    for (const MasterVolume& volume : kMasterVolumes) {
        auto* slider = Control<QSlider>(volume.slider);
        const std::uint8_t value = ReadParam(m_session, volume.param);
        slider->setRange(0, (machine.*volume.maximum)());
        slider->setValue(value);
        SetText(volume.label, Utf8(ValueFormat::RawText(value)));
    }
}

// The panel shows a volume in its label, also beyond the slider's range: a label that tells another number
// than the store is a volume the amplifier turned itself. A slider the user holds keeps the user's value
// until it is let go.
void MainWindow::FollowVolumes() {
    // What a synchronisation brings into the store is shown when it ends.
    if (IsSyncing() || m_session.GetReadPeak() == 0) {
        return;
    }
    for (const MasterVolume& volume : kMasterVolumes) {
        auto* slider = Control<QSlider>(volume.slider);
        const std::uint8_t value = ReadParam(m_session, volume.param);
        const QString shown = Utf8(ValueFormat::RawText(value));
        if (Control<QLabel>(volume.label)->text() == shown || slider->isSliderDown()) {
            continue;
        }
        slider->setValue(value);
        SetText(volume.label, shown);
        m_undo->Follow(ParamName(volume.param), value);
    }
}

void MainWindow::MarkEqPageButton() {
    for (int page = 0; page < kEqPages; ++page) {
        Control<ImageButton>(PageButton(page))->SetAltState(page == m_eqPage);
    }
}

void MainWindow::ShowEqPage(int page) {
    Control(kDefaultEqButton)->setVisible(page == 1);
    m_eqPage = page;
    for (int band = 0; band < kGraphicBands && band < m_graphicPanel->PointCount(); ++band) {
        EqPoint& point = m_graphicPanel->Point(band);
        point.gain = static_cast<float>(ValueFormat::GeqGainDb(ReadGraphicBand(m_session, page, band)));
        EqGraph::CalcResponse(point);
    }
    m_graphicPanel->update();
    const char* title = EqPageTitle(page, m_language);
    SetText(kEqPageTitle, title ? QString::fromUtf8(title) : QString());
    MarkEqPageButton();
}

void MainWindow::RefreshAutoSub() {
    const std::uint8_t time = m_session.GetMicControlSubTime();
    const std::uint8_t rate = m_session.GetMicControlSubRate();
    for (const int id : {kSubTimeSlider, kSubRateSlider}) {
        const SliderEdit* edit = FindSliderEdit(id);
        Control<QSlider>(id)->setValue(
            SliderPosition(edit->rule, edit->maximum, id == kSubTimeSlider ? time : rate));
    }
    SetText(FindSliderEdit(kSubTimeSlider)->valueLabel,
            Utf8(ValueFormat::MicControlSubTimeText(time, m_language)));
    SetText(FindSliderEdit(kSubRateSlider)->valueLabel,
            Utf8(ValueFormat::MicControlSubRateText(time, rate, m_language)));
    Control<QCheckBox>(kAutoSubBox)->setChecked(time != 0);
}

void MainWindow::RefreshSub() {
    for (const int id : {kSubLevelSlider, kSubFrequencySlider, kSubResonanceSlider}) {
        const SliderEdit* edit = FindSliderEdit(id);
        const std::uint8_t value = ReadParam(m_session, edit->param);
        Control<QSlider>(id)->setValue(SliderPosition(edit->rule, edit->maximum, value));
        SetText(edit->valueLabel, Utf8(id == kSubFrequencySlider ? ValueFormat::SubFrequencyText(value)
                                                                 : ValueFormat::RawText(value)));
    }
    Control<QCheckBox>(kPhaseBox)->setChecked(m_session.GetSubPhase180() != 0);
}

void MainWindow::RefreshEffect(int effect) {
    if (effect != 0 && effect != 1) {
        return;
    }
    const int send = effect == 0 ? kEffect1SendSlider : kEffect2SendSlider;
    for (int id = send + 1; id < send + kEffectSliders; ++id) {
        const SliderEdit* edit = FindSliderEdit(id);
        auto* slider = Control<QSlider>(id);
        slider->setValue(SliderPosition(edit->rule, edit->maximum, ReadParam(m_session, edit->param)));
        const auto shown =
            static_cast<std::uint8_t>(SliderValue(edit->rule, slider->maximum(), slider->value()));
        SetText(edit->valueLabel, EffectText(id, shown));
    }
    SelectPreset(*Control<QComboBox>(effect == 0 ? kEffect1List : kEffect2List),
                 m_session.GetEffectPreset(effect));
}

void MainWindow::MarkModeButton() {
    const int mode = m_session.GetCurEffectMode();
    for (int k = 0; k < kModes; ++k) {
        Control<ImageButton>(kLoadModeButton + k)->SetAltState(k == mode);
    }
}

void MainWindow::ShowChannel() {
    const bool micView = m_micView != 0;
    Control<ImageButton>(kMicViewButton)->SetAltState(micView);
    Control<ImageButton>(kMusicViewButton)->SetAltState(!micView);
    const bool peqOn = ReadParam(m_session, OnPath(Param::PEQOn_Mic, micView)) != 0;
    Control<QCheckBox>(kCompressOnBox)
        ->setChecked(ReadParam(m_session, OnPath(Param::CompressOn_Mic, micView)) != 0);
    Control<QCheckBox>(kPeqOnBox)->setChecked(peqOn);
    Control<QLabel>(kChannelPicture)->setPixmap(ImagePixmap(micView ? kMicPicture : kMusicPicture));
    for (const int id : {kGainSlider, kGateSlider}) {
        const SliderEdit* edit = FindSliderEdit(id);
        const std::uint8_t value = ReadParam(m_session, OnPath(edit->param, micView));
        Control<QSlider>(id)->setValue(SliderPosition(edit->rule, edit->maximum, value));
        SetText(edit->valueLabel, Utf8(ValueFormat::RawText(value)));
    }
    SetText(kStatusPrefix, QString::fromUtf8(StatusPrefix(m_language)));
    SetText(kChannelName, QString::fromUtf8(ChannelName(micView, m_language)));
    RefreshPeq();
    RefreshCompressor();
    m_peqPanel->SetOff(!peqOn);
    m_peqPanel->update();
}

void MainWindow::RefreshPeq() {
    const bool micView = m_micView != 0;
    for (int band = 0; band < ValueFormat::kPeqBands; ++band) {
        const PeqBandParams* fields = PeqBand(band);
        EqPoint& point = m_peqPanel->Point(band);
        point.gain = ValueFormat::PeqGainDb(ReadParam(m_session, OnPath(fields->gain, micView)));
        point.freq = ValueFormat::PeqFrequencyHz(band, ReadParam(m_session, OnPath(fields->freq, micView)));
        if (fields->q != Param::Count) {
            point.q = ValueFormat::PeqQ(ReadParam(m_session, OnPath(fields->q, micView)));
        }
        EqGraph::CalcResponse(point);
    }
    m_peqPanel->update();
}

void MainWindow::RefreshCompressor() {
    const bool micView = m_micView != 0;
    const auto read = [&](Param param) { return ReadParam(m_session, OnPath(param, micView)); };
    const std::uint8_t threshold = read(Param::CompressThreshold_Mic);
    const std::uint8_t ratio = read(Param::CompressRatio_Mic);
    const std::uint8_t values[] = {threshold, ratio, read(Param::CompressAttackTime_Mic),
                                   read(Param::CompressReleaseTime_Mic), read(Param::CompressBoost_Mic)};
    const QString texts[] = {
        Utf8(ValueFormat::ThresholdText(values[0])), Utf8(ValueFormat::RatioText(values[1])),
        Utf8(ValueFormat::AttackText(values[2])),    Utf8(ValueFormat::ReleaseText(values[3])),
        Utf8(ValueFormat::BoostText(values[4])),
    };
    const bool on = read(Param::CompressOn_Mic) != 0;
    for (int k = 0; k <= kBoostSlider - kThresholdSlider; ++k) {
        const SliderEdit* edit = FindSliderEdit(kThresholdSlider + k);
        auto* slider = Control<QSlider>(edit->id);
        slider->setValue(SliderPosition(edit->rule, edit->maximum, values[k]));
        slider->setEnabled(on);
        SetText(edit->valueLabel, texts[k]);
    }
    m_compressPanel->SetThreshold(static_cast<float>(ValueFormat::ThresholdDb(threshold)));
    m_compressPanel->SetUpperSlope(static_cast<float>(ValueFormat::RatioSlope(ratio)));
    m_compressPanel->SetEnabledCurve(on);
    Control<QCheckBox>(kCompressOnBox)->setChecked(on);
    SelectPreset(*Control<QComboBox>(kCompressPresetList), read(Param::CompressPreset_Mic));
    m_compressPanel->update();
}

void MainWindow::RefreshLanguageTexts() {
    m_graphicPanel->SetLanguage(m_language);
    m_peqPanel->SetLanguage(m_language);
    for (LevelMeter* meter : m_meters) {
        meter->SetLanguage(m_language);
    }
    FillPresetLists();
    SelectPreset(*Control<QComboBox>(kEffect1List), m_session.GetEffectPreset(0));
    SelectPreset(*Control<QComboBox>(kEffect2List), m_session.GetEffectPreset(1));
    SelectPreset(*Control<QComboBox>(kCompressPresetList),
                 ReadParam(m_session, OnPath(Param::CompressPreset_Mic, m_micView != 0)));
    SetStatus(m_session.IsConnected());
    const char* title = EqPageTitle(m_eqPage, m_language);
    SetText(kEqPageTitle, title ? QString::fromUtf8(title) : QString());
    SetText(kStatusPrefix, QString::fromUtf8(StatusPrefix(m_language)));
    SetText(kChannelName, QString::fromUtf8(ChannelName(m_micView != 0, m_language)));
    // The mic-controls-sub labels say "invalid" in the language they were last set in.
    const QString invalid = Utf8(ValueFormat::MicControlSubTimeText(0, m_language));
    for (const int id : {kSubTimeSlider, kSubRateSlider}) {
        auto* label = Control<QLabel>(FindSliderEdit(id)->valueLabel);
        for (const int language : {kChinese, kEnglish}) {
            if (label->text() == Utf8(ValueFormat::MicControlSubTimeText(0, language))) {
                label->setText(invalid);
            }
        }
    }
    if (m_settingsDialog) {
        m_settingsDialog->RefreshLanguage();
    }
    update();
}

}  // namespace varnoth
