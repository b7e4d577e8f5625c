// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "MainWindowFixture.h"
#include "session/ValueFormat.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/WindowParams.h"

namespace varnoth::test {
namespace {

using MainWindowRefresh = MainWindowTest;

// How a slider's label shows a value, by the parameter's row; the others show the raw number.
QString ShownText(const ParameterRef& parameter, std::uint8_t v) {
    using namespace ValueFormat;
    const std::map<std::string_view, std::string (*)(std::uint8_t)> shownAs = {
        {"CompressThreshold_Mic", ThresholdText},
        {"CompressThreshold_Music", ThresholdText},
        {"CompressRatio_Mic", RatioText},
        {"CompressRatio_Music", RatioText},
        {"CompressAttackTime_Mic", AttackText},
        {"CompressAttackTime_Music", AttackText},
        {"CompressReleaseTime_Mic", ReleaseText},
        {"CompressReleaseTime_Music", ReleaseText},
        {"CompressBoost_Mic", BoostText},
        {"CompressBoost_Music", BoostText},
        {"EffectHPF", EffectHpfText},
        {"EffectHSF", EffectHsfText},
        {"EffectLevel", EffectLevelText},
        {"EffectDelayTime", EffectDelayText},
        {"EffectFeedback", EffectFeedbackText},
        {"SubFrequency", SubFrequencyText},
    };
    const auto found = shownAs.find(parameter.param->name);
    return QString::fromStdString(found != shownAs.end() ? found->second(v) : RawText(v));
}

// A value for every store field that has a register, different from field to field and within the range the
// field's control shows.
std::map<std::size_t, std::uint8_t> DeviceValues() {
    std::map<std::size_t, std::uint8_t> values;
    unsigned seed = 12345;
    const auto next = [&](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>((seed >> 16) % range);
    };
    for (std::size_t p = 0; p < kStoreSize; ++p) {
        if (StoreRegisterMap()[p].hasRegister) {
            values[p] = next(128);
        }
    }
    for (const std::size_t p : {pos::PEQ_Mic + pos::PEQOn, pos::PEQ_Music + pos::PEQOn}) {
        values[p] = p == pos::PEQ_Mic ? 0x7F : 0;
    }
    values[pos::Compress_Mic + pos::CompressOn] = 0;
    values[pos::Compress_Music + pos::CompressOn] = 1;
    values[pos::SubPhase180] = 1;
    values[pos::Effect1 + pos::EffectPreset] = 19;
    values[pos::Effect2 + pos::EffectPreset] = 4;
    for (std::size_t band = 0; band < 4 * pos::kBands; ++band) {
        values[pos::MicGEQ + band] = static_cast<std::uint8_t>(50 + next(29));
    }
    for (const std::size_t p : {pos::MicVol, pos::MusicVol, pos::CenterVol, pos::SubVol}) {
        values[p] = next(37);
    }
    return values;
}

constexpr std::array<std::uint8_t, 4> kMaxVolumes = {30, 36, 20, 33};

TEST_F(MainWindowRefresh, AfterASynchronisationEveryControlShowsTheDevicesValue) {
    const std::map<std::size_t, std::uint8_t> device = DeviceValues();
    OpenSynchronised(1, [&](VirtualAmp& amp) {
        for (const auto& [position, value] : device) {
            SetDeviceValue(amp, position, value);
        }
        VirtualAmpState state = amp.State();
        state.micControlSubTime = 123;
        state.micControlSubRate = 45;
        state.currentMode = 2;
        std::copy(kMaxVolumes.begin(), kMaxVolumes.end(), state.machine.begin() + 3);
        amp.SetState(state);
    });

    for (const bool micView : {true, false}) {
        SCOPED_TRACE(micView ? "microphone view" : "music view");
        Ctl<QAbstractButton>(micView ? 1020 : 1023).click();
        EXPECT_EQ(Ctl<ImageButton>(1020).AltState(), micView);
        EXPECT_EQ(Ctl<ImageButton>(1023).AltState(), !micView);

        for (const mainwin::SliderEdit& edit : StoreSliders()) {
            const ParameterRef shown = mainwin::OnPath(edit.parameter, micView);
            const std::uint8_t v = device.at(static_cast<std::size_t>(shown.Position()));
            auto& slider = Ctl<QSlider>(edit.id);
            const int position = std::clamp(PositionShowing(slider, shown, v), 0, slider.maximum());
            EXPECT_EQ(slider.value(), position) << "slider of " << shown.Name() << " showing " << int{v};
            EXPECT_EQ(Text(edit.valueLabel), ShownText(shown, v)) << "label of " << shown.Name();
        }
        const std::size_t compress = micView ? pos::Compress_Mic : pos::Compress_Music;
        const std::size_t peq = micView ? pos::PEQ_Mic : pos::PEQ_Music;
        const bool compressorOn = device.at(compress + pos::CompressOn) != 0;
        EXPECT_EQ(Ctl<QCheckBox>(1147).isChecked(), compressorOn);
        EXPECT_EQ(Ctl<QSlider>(2104).isEnabled(), compressorOn);
        EXPECT_EQ(Ctl<QCheckBox>(1040).isChecked(), device.at(peq + pos::PEQOn) != 0);
        EXPECT_EQ(Ctl<EqGraph>(1022).IsOff(), device.at(peq + pos::PEQOn) == 0);

        auto& compressor = Ctl<CompressorCurve>(1024);
        EXPECT_FLOAT_EQ(compressor.Threshold(),
                        ValueFormat::ThresholdDb(device.at(compress + pos::CompressThreshold)));
        EXPECT_FLOAT_EQ(compressor.UpperSlope(),
                        ValueFormat::RatioSlope(device.at(compress + pos::CompressRatio)));
        EXPECT_EQ(compressor.IsEnabledCurve(), compressorOn);

        struct PeqField {
            int band;
            std::size_t gain, freq, q;
        };
        const PeqField bands[] = {
            {0, pos::PEQLowGain, pos::PEQLowF, 0},
            {1, pos::PEQLMidGain, pos::PEQLMidF, pos::PEQLMidQ},
            {2, pos::PEQHMidGain, pos::PEQHMidF, pos::PEQHMidQ},
            {3, pos::PEQHighGain, pos::PEQHighF, 0},
        };
        for (const PeqField& b : bands) {
            const EqPoint& point = Ctl<EqGraph>(1022).Point(b.band);
            EXPECT_FLOAT_EQ(point.gain, ValueFormat::PeqGainDb(device.at(peq + b.gain))) << "band " << b.band;
            EXPECT_FLOAT_EQ(point.freq, ValueFormat::PeqFrequencyHz(b.band, device.at(peq + b.freq)));
            if (b.q != 0) {
                EXPECT_FLOAT_EQ(point.q, ValueFormat::PeqQ(device.at(peq + b.q)));
            }
        }
    }

    EXPECT_TRUE(Ctl<QCheckBox>(1146).isChecked()) << "phase 180 follows the store";
    EXPECT_TRUE(Ctl<QCheckBox>(1145).isChecked());
    EXPECT_EQ(Ctl<QSlider>(2119).value(), 255 - 123);
    EXPECT_EQ(Ctl<QSlider>(2120).value(), 99 - 45);
    EXPECT_EQ(ShownValue("MicControlSubTime"), "12.3s");
    EXPECT_EQ(ShownValue("MicControlSubRate"), "45%");
    EXPECT_EQ(Ctl<QComboBox>(1144).currentIndex(), 19);
    EXPECT_EQ(Ctl<QComboBox>(1228).currentIndex(), 4);
    const int masters[] = {1106, 1103, 1104, 1105};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Ctl<QSlider>(masters[k]).maximum(), kMaxVolumes[k]) << masters[k];
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Ctl<ImageButton>(1000 + k).AltState(), k == 2) << "mode button " << 1000 + k;
    }

    struct Page {
        int button;
        std::size_t bank;
    };
    for (const Page& page : {Page{1097, pos::CenterGEQ}, Page{1098, pos::MicGEQ}, Page{1099, pos::MusicGEQ},
                             Page{1100, pos::SubGEQ}}) {
        Ctl<QAbstractButton>(page.button).click();
        for (int band = 0; band < 10; ++band) {
            EXPECT_FLOAT_EQ(Ctl<EqGraph>(1015).Point(band).gain, device.at(page.bank + band) - 64)
                << "page button " << page.button << " band " << band;
        }
    }
}

TEST_F(MainWindowRefresh, AStoredVolumeAboveItsMaximumPinsTheThumbAndShowsItsNumber) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        SetDeviceMachine(amp, {{MachineField::MaxMicVol, 20}});
        SetDeviceValue(amp, pos::MicVol, 30);
    });
    EXPECT_EQ(Ctl<QSlider>(1106).maximum(), 20);
    EXPECT_EQ(Ctl<QSlider>(1106).value(), 20);
    EXPECT_EQ(ShownValue("MicVol"), "30");
}

TEST_F(MainWindowRefresh, OnlyTheMicrophonePageShowsTheFactoryEqButton) {
    for (const int language : {1, 0}) {
        OpenSynchronised(language);
        struct Page {
            int button;
            int page;
            const char* title;
        };
        const Page pages[] = {
            {1097, 0, language == 0 ? "中置总均衡" : "CENTER EQ"},
            {1098, 1, language == 0 ? "话筒总均衡" : "MIC EQ"},
            {1099, 2, language == 0 ? "音乐总均衡" : "MUSIC EQ"},
            {1100, 3, language == 0 ? "超低总均衡" : "SUB EQ"},
        };
        for (const Page& page : pages) {
            Ctl<QAbstractButton>(page.button).click();
            EXPECT_EQ(Window().EqPage(), page.page);
            EXPECT_EQ(Ctl<QPushButton>(1025).isHidden(), page.page != 1) << "page " << page.page;
            EXPECT_EQ(Text(1049), page.title);
            for (const Page& other : pages) {
                EXPECT_EQ(Ctl<ImageButton>(other.button).AltState(), other.page == page.page);
            }
        }
        Close();
    }
}

TEST_F(MainWindowRefresh, TheLanguageSwitchRefillsTheListsAndKeepsTheirChoices) {
    OpenSynchronised(1, [](VirtualAmp& amp) { SetDeviceValue(amp, pos::Effect1 + pos::EffectPreset, 40); });
    EXPECT_EQ(Ctl<QComboBox>(1144).currentIndex(), -1) << "a preset the list does not have selects nothing";
    EXPECT_EQ(Ctl<QComboBox>(1228).count(), 28);
    EXPECT_EQ(Ctl<QComboBox>(1229).count(), 9);
    EXPECT_EQ(Ctl<QComboBox>(1228).itemText(27), "27: Spring Reverb");
    EXPECT_EQ(Ctl<QComboBox>(1229).itemText(0), "CP:User Defined Mode");
    EXPECT_EQ(Text(1017), "Connected");
    EXPECT_EQ(Text(1064), "Status:");
    EXPECT_EQ(Text(1054), "Mic control");
    const int effect2 = Ctl<QComboBox>(1228).currentIndex();

    Window().ApplyLanguage(0);
    EXPECT_EQ(Ctl<QComboBox>(1228).count(), 28);
    EXPECT_EQ(Ctl<QComboBox>(1228).itemText(27), "27: 弹簧混响");
    EXPECT_EQ(Ctl<QComboBox>(1229).itemText(8), "8: 限制 3: -18dB");
    EXPECT_EQ(Ctl<QComboBox>(1228).currentIndex(), effect2);
    EXPECT_EQ(Ctl<QComboBox>(1144).currentIndex(), -1);
    EXPECT_EQ(Text(1017), "USB已连接");
    EXPECT_EQ(Text(1064), "当前状态:");
    EXPECT_EQ(Text(1054), "话筒控制");
    EXPECT_EQ(Text(1049), "话筒总均衡");
    EXPECT_EQ(Ctl<QPushButton>(1019).text(), "English");
    Ctl<QAbstractButton>(1023).click();
    EXPECT_EQ(Text(1054), "音乐控制");
}

}  // namespace
}  // namespace varnoth::test
