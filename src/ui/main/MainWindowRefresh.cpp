// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a view of the session's store: every control shows what the store holds and learns of
// changes from the store's change signal alone (OnStoreChanged), whoever made them: an edit, a read reply,
// a load, an undo, an A/B switch, a followed volume.

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
#include "ui/controls/TrackSlider.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/OfflineEdits.h"
#include "ui/main/RemoteControlPanel.h"
#include "ui/main/WindowAccessibility.h"
#include "ui/main/WindowMenus.h"
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

// The master volumes' maxima from the saved machine settings, in store order.
constexpr MachineField kVolumeMaxima[] = {MachineField::MaxMicVol, MachineField::MaxMusicVol,
                                          MachineField::MaxCenterVol, MachineField::MaxSubVol};

// A list shows no selection for a preset number it does not have.
void SelectPreset(QComboBox& list, int preset) {
    list.setCurrentIndex(preset < list.count() ? preset : -1);
}

// The change bit of a parameter: its store position, or the mic-controls-sub setting's bit.
std::size_t ChangeBit(const ParameterRef& parameter) {
    const int position = parameter.Position();
    return position == kNotStored ? kMicControlSubChange : static_cast<std::size_t>(position);
}

}  // namespace

void MainWindow::OnStoreChanged() {
    const ChangeSet changes = m_storeChanges->Take();
    // The window shows them all once the question about the set prepared offline has been answered.
    if (!m_offline->ShowsPrepared()) {
        ShowStore(changes);
    }
}

void MainWindow::RefreshAll() {
    ReLimitMasterVolumes();
    ShowChannel();
    ShowEqPage(m_eqPage);
    if (m_settingsDialog) {
        m_settingsDialog->ShowSaved();
    }
}

void MainWindow::ShowStore(const ChangeSet& changes) {
    const bool micView = m_micView != 0;
    const auto changed = [&](const ParameterRef& parameter) {
        return changes.test(ChangeBit(OnPath(parameter, micView)));
    };
    for (const SliderEdit& edit : SliderEdits()) {
        if (changed(edit.parameter)) {
            ShowSlider(edit);
        }
    }
    const std::size_t compressor = micView ? pos::Compress_Mic : pos::Compress_Music;
    if ((changes & ChangeRange(compressor, pos::CompressBoost + 1)).any()) {
        ShowCompressor();
    }
    const std::size_t peq = micView ? pos::PEQ_Mic : pos::PEQ_Music;
    if ((changes & ChangeRange(peq, pos::kPeqFields)).any()) {
        ShowPeq();
    }
    const std::optional<ParameterRef> firstBand = GraphicBandParameter(m_eqPage, 0);
    if (firstBand &&
        (changes & ChangeRange(static_cast<std::size_t>(firstBand->Position()), kGraphicBands)).any()) {
        ShowGraphicEq();
    }
    for (const int effect : {0, 1}) {
        if (changes.test(pos::OfEffect(effect, pos::EffectPreset))) {
            SelectPreset(*Control<QComboBox>(effect == 0 ? kEffect1List : kEffect2List),
                         m_session.Store().Value(pos::OfEffect(effect, pos::EffectPreset)));
        }
    }
    const ParameterRef phase = Named(FindControlSlot(kPhaseBox)->parameter);
    if (changed(phase)) {
        Control<QCheckBox>(kPhaseBox)->setChecked(ReadValue(m_session, phase) != 0);
    }
    if (changes.test(kMicControlSubChange)) {
        Control<QCheckBox>(kAutoSubBox)->setChecked(m_session.GetMicControlSubTime() != 0);
    }
    if (changes.test(kModeChange)) {
        MarkModeButton();
    }
}

QString MainWindow::ValueText(const SliderEdit& edit, std::uint8_t value) const {
    // The mic-controls-sub rate says "invalid" with the time while the function is off.
    if (edit.parameter.param->access == ParamAccess::MicControlSubRate) {
        return Utf8(ValueFormat::MicControlSubRateText(m_session.GetMicControlSubTime(), value, m_language));
    }
    if (edit.rule == SliderRule::Effect && m_rawValues != 0) {
        return Utf8(ValueFormat::RawText(value));
    }
    return Utf8(OnPath(edit.parameter, m_micView != 0).Shown(value, m_language));
}

void MainWindow::ShowSlider(const SliderEdit& edit) {
    const std::uint8_t value = ReadValue(m_session, OnPath(edit.parameter, m_micView != 0));
    auto* slider = Control<QSlider>(edit.id);
    // A slider the user holds stays under the pointer; it shows the store again when it is let go.
    if (!slider->isSliderDown()) {
        slider->setValue(SliderPosition(edit.rule, SliderMaximum(edit), value));
    }
    SetText(edit.valueLabel, ValueText(edit, value));
    Control<TrackSlider>(edit.id)->AnnounceValue();
    if (edit.parameter.param->access == ParamAccess::MicControlSubTime) {
        ShowSlider(*FindSliderEdit(kSubRateSlider));
    }
}

void MainWindow::ReLimitMasterVolumes() {
    const MachineSettings& machine = m_session.GetMachineSet();
    for (const int id : kMasterSliders) {
        const SliderEdit& edit = *FindSliderEdit(id);
        const auto volume = static_cast<std::size_t>(edit.parameter.Position() - pos::MicVol);
        Control<QSlider>(id)->setRange(0, machine.Saved(kVolumeMaxima[volume]));
        ShowSlider(edit);
    }
}

// The amplifier turned a master volume itself (its keys, its remote): the store already shows it; the undo
// steps take it as their starting point, so that undo does not turn it back. Not an edit.
void MainWindow::FollowVolumes() {
    const unsigned followed = m_session.TakeFollowedVolumes();
    m_remote->FollowVolumes(followed);
    for (const int id : kMasterSliders) {
        const ParameterRef& volume = FindSliderEdit(id)->parameter;
        if ((followed & (1U << (volume.Position() - pos::MicVol))) != 0) {
            m_undo->Follow(volume.param->name, ReadValue(m_session, volume));
        }
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
    ShowGraphicEq();
    const char* title = EqPageTitle(page, m_language);
    SetText(kEqPageTitle, title ? QString::fromUtf8(title) : QString());
    MarkEqPageButton();
    NameControls(*this);
}

void MainWindow::ShowGraphicEq() {
    const int dragged = m_graphicPanel->DraggedPoint();
    bool changed = false;
    for (int band = 0; band < kGraphicBands && band < m_graphicPanel->PointCount(); ++band) {
        if (band == dragged) {
            continue;
        }
        EqPoint& point = m_graphicPanel->Point(band);
        const auto gain =
            static_cast<float>(ValueFormat::GeqGainDb(ReadGraphicBand(m_session, m_eqPage, band)));
        // A band's response is worked out again only when it changed.
        if (gain != point.gain) {
            point.gain = gain;
            EqGraph::CalcResponse(point);
            changed = true;
        }
    }
    if (changed) {
        m_graphicPanel->update();
    }
}

void MainWindow::MarkModeButton() {
    const int mode = m_session.MemoryMode();
    for (int k = 0; k < kModes; ++k) {
        Control<ImageButton>(kLoadModeButton + k)->SetAltState(k == mode);
    }
}

void MainWindow::ShowChannel() {
    const bool micView = m_micView != 0;
    Control<ImageButton>(kMicViewButton)->SetAltState(micView);
    Control<ImageButton>(kMusicViewButton)->SetAltState(!micView);
    Control<QLabel>(kChannelPicture)->setPixmap(ImagePixmap(micView ? kMicPicture : kMusicPicture));
    SetText(kStatusPrefix, QString::fromUtf8(StatusPrefix(m_language)));
    SetText(kChannelName, QString::fromUtf8(ChannelName(micView, m_language)));
    NameControls(*this);
    ShowStore(ChangeSet().set());
}

void MainWindow::ShowPeq() {
    const bool micView = m_micView != 0;
    const bool on = ReadValue(m_session, OnPath(Named(FindControlSlot(kPeqOnBox)->parameter), micView)) != 0;
    Control<QCheckBox>(kPeqOnBox)->setChecked(on);
    m_peqPanel->SetOff(!on);
    const int dragged = m_peqPanel->DraggedPoint();
    for (int band = 0; band < ValueFormat::kPeqBands; ++band) {
        if (band == dragged) {
            continue;
        }
        const PeqBandParameters* fields = PeqBand(band);
        EqPoint& point = m_peqPanel->Point(band);
        const EqPoint before = point;
        point.gain = ValueFormat::PeqGainDb(ReadValue(m_session, OnPath(fields->gain, micView)));
        point.freq = ValueFormat::PeqFrequencyHz(band, ReadValue(m_session, OnPath(fields->freq, micView)));
        if (fields->q) {
            point.q = ValueFormat::PeqQ(ReadValue(m_session, OnPath(*fields->q, micView)));
        }
        if (point.gain != before.gain || point.freq != before.freq || point.q != before.q) {
            EqGraph::CalcResponse(point);
        }
    }
    m_peqPanel->update();
}

void MainWindow::ShowCompressor() {
    const bool micView = m_micView != 0;
    const auto read = [&](const char* name) { return ReadValue(m_session, OnPath(Named(name), micView)); };
    const bool on = read(FindControlSlot(kCompressOnBox)->parameter) != 0;
    for (int id = kThresholdSlider; id <= kBoostSlider; ++id) {
        Control(id)->setEnabled(on);
    }
    m_compressPanel->SetThreshold(
        static_cast<float>(ValueFormat::ThresholdDb(read("CompressThreshold_Mic"))));
    m_compressPanel->SetUpperSlope(static_cast<float>(ValueFormat::RatioSlope(read("CompressRatio_Mic"))));
    m_compressPanel->SetEnabledCurve(on);
    DescribeCompressor(*this);
    Control<QCheckBox>(kCompressOnBox)->setChecked(on);
    SelectPreset(*Control<QComboBox>(kCompressPresetList),
                 read(FindControlSlot(kCompressPresetList)->parameter));
    m_compressPanel->update();
}

void MainWindow::RefreshLanguageTexts() {
    m_graphicPanel->SetLanguage(m_language);
    m_peqPanel->SetLanguage(m_language);
    for (LevelMeter* meter : m_meters) {
        meter->SetLanguage(m_language);
    }
    FillPresetLists();
    SetStatus(m_session.IsConnected());
    const char* title = EqPageTitle(m_eqPage, m_language);
    SetText(kEqPageTitle, title ? QString::fromUtf8(title) : QString());
    // The lists were filled anew, and value texts such as "invalid" are in the language.
    ShowChannel();
    if (m_settingsDialog) {
        m_settingsDialog->RefreshLanguage();
    }
    m_remote->ShowLanguage();
    m_menus->ShowLanguage();
    update();
}

}  // namespace varnoth
