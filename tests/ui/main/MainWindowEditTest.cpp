// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <array>
#include <cmath>
#include <vector>

#include "MainWindowFixture.h"
#include "device/sim/SimFactory.h"
#include "session/RegisterMap.h"
#include "session/ValueFormat.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

// The fields the channel strip edits in microphone view.
std::vector<std::size_t> MicPathFields() {
    std::vector<std::size_t> fields = {pos::InputGain_Mic, pos::NoiseGate_Mic};
    for (std::size_t f = 0; f < 7; ++f) {
        fields.push_back(pos::Compress_Mic + f);
    }
    for (std::size_t f = 0; f < pos::kPeqFields; ++f) {
        fields.push_back(pos::PEQ_Mic + f);
    }
    return fields;
}

using MainWindowEdits = MainWindowTest;

void ChooseFromList(QComboBox& list, int index) {
    list.setCurrentIndex(index);
    emit list.activated(index);
}

// Every control of both views writes its field, to the store and to the amplifier; in music view no
// microphone field of the channel strip changes.
TEST_F(MainWindowEdits, EveryControlWritesItsFieldAndTheMusicViewLeavesTheMicFieldsAlone) {
    OpenSynchronised();
    for (const bool micView : {true, false}) {
        SCOPED_TRACE(micView ? "microphone view" : "music view");
        Ctl<QAbstractButton>(micView ? 1020 : 1023).click();
        ASSERT_EQ(Window().MicView(), micView ? 1 : 0);
        std::vector<std::uint8_t> micFields;
        for (const std::size_t field : MicPathFields()) {
            micFields.push_back(StoreValue(field));
        }
        for (const mainwin::SliderEdit& slider : StoreSliders()) {
            const ParameterRef shown = mainwin::OnPath(slider.parameter, micView);
            const int value = shown.param->max == 36 ? 17 : 33;
            Drag(slider.id, PositionShowing(Ctl<QSlider>(slider.id), shown, value));
            const auto edited = static_cast<std::size_t>(shown.Position());
            EXPECT_EQ(StoreValue(edited), value) << "slider of " << shown.Name();
            EXPECT_EQ(DeviceValue(edited), value) << "slider of " << shown.Name();
        }

        const int compress = micView ? pos::Compress_Mic : pos::Compress_Music;
        const int peq = micView ? pos::PEQ_Mic : pos::PEQ_Music;
        for (const bool on : {true, false}) {
            Ctl<QCheckBox>(1040).setChecked(!on);
            Ctl<QCheckBox>(1040).click();
            EXPECT_EQ(DeviceValue(peq + pos::PEQOn), on ? 0x7F : 0) << "PEQ ON";
            Ctl<QCheckBox>(1147).setChecked(!on);
            Ctl<QCheckBox>(1147).click();
            Drain();
            EXPECT_EQ(DeviceValue(compress + pos::CompressOn), on ? 1 : 0) << "compressor ON";
            EXPECT_EQ(Ctl<QSlider>(2102).isEnabled(), on);
            Ctl<QCheckBox>(1146).setChecked(!on);
            Ctl<QCheckBox>(1146).click();
            EXPECT_EQ(StoreValue(pos::SubPhase180), on ? 1 : 0) << "phase 180";
        }

        ChooseFromList(Ctl<QComboBox>(1229), 3);
        Drain();
        EXPECT_EQ(StoreValue(compress + pos::CompressPreset), 3);
        EXPECT_EQ(DeviceValue(compress + pos::CompressThreshold), 16) << "preset 3 loads its row: -18 dB";
        EXPECT_EQ(Ctl<QSlider>(2102).value(), 16);
        EXPECT_EQ(ShownValue("CompressThreshold_Mic"), "-18.0dB");

        // A parametric EQ band: +6 dB at 1000 Hz with Q 2 on the low-mid band.
        auto& peqPanel = Ctl<EqGraph>(1022);
        EqPoint point = peqPanel.Point(1);
        point.gain = 6.0f;
        point.freq = 1000.0f;
        point.q = 2.0f;
        emit peqPanel.pointChanged(point, 1022);
        EXPECT_EQ(DeviceValue(peq + pos::PEQLMidGain), 95);
        EXPECT_EQ(DeviceValue(peq + pos::PEQLMidF), 71);
        EXPECT_EQ(DeviceValue(peq + pos::PEQLMidQ), 7);

        if (!micView) {
            const std::vector<std::size_t> fields = MicPathFields();
            for (std::size_t i = 0; i < fields.size(); ++i) {
                EXPECT_EQ(StoreValue(fields[i]), micFields[i])
                    << "microphone field " << fields[i] << " changed";
            }
        }
    }
}

TEST_F(MainWindowEdits, TheGainSliderAtItsTopAndBottomInBothViews) {
    OpenSynchronised();
    struct Case {
        int viewButton;
        int position;
        std::size_t field;
        int value;
    };
    const Case cases[] = {
        {1020, 0, pos::InputGain_Mic, 127},
        {1020, 127, pos::InputGain_Mic, 0},
        {1023, 0, pos::InputGain_Music, 127},
        {1023, 127, pos::InputGain_Music, 0},
    };
    for (const Case& c : cases) {
        Ctl<QAbstractButton>(c.viewButton).click();
        Drag(2100, c.position);
        EXPECT_EQ(DeviceValue(c.field), c.value) << "position " << c.position;
        EXPECT_EQ(ShownValue("InputGain_Mic"), QString::number(c.value));
    }
}

TEST_F(MainWindowEdits, TheSubTimeSliderAtItsBottomSwitchesMicControlsSubOff) {
    for (const int language : {1, 0}) {
        OpenSynchronised(language, [](VirtualAmp& amp) {
            VirtualAmpState state = amp.State();
            state.micControlSubTime = 50;
            state.micControlSubRate = 30;
            amp.SetState(state);
        });
        EXPECT_TRUE(Ctl<QCheckBox>(1145).isChecked());
        EXPECT_EQ(ShownValue("MicControlSubTime"), "5.0s");
        EXPECT_EQ(ShownValue("MicControlSubRate"), "30%");
        Drag(2119, 255);
        WaitUntilSent();
        EXPECT_EQ(Amp().MicControl().time, 0);
        EXPECT_EQ(Amp().MicControl().rate, 30) << "the rate is kept";
        EXPECT_FALSE(Ctl<QCheckBox>(1145).isChecked());
        const QString invalid = language == 0 ? "无效" : "Invalid";
        EXPECT_EQ(ShownValue("MicControlSubTime"), invalid);
        EXPECT_EQ(ShownValue("MicControlSubRate"), invalid);
        Close();
    }
}

TEST_F(MainWindowEdits, TheAutoSubBoxSwitchesOnWithTheDefaultsAndOffKeepingTheRate) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        VirtualAmpState state = amp.State();
        state.micControlSubTime = 0;
        state.micControlSubRate = 0;
        amp.SetState(state);
    });
    auto& box = Ctl<QCheckBox>(1145);
    EXPECT_FALSE(box.isChecked());
    box.click();
    WaitUntilSent();
    Drain();
    EXPECT_EQ(Amp().MicControl().time, 10);
    EXPECT_EQ(Amp().MicControl().rate, 20);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(ShownValue("MicControlSubTime"), "1.0s");
    EXPECT_EQ(Ctl<QSlider>(2119).value(), 245);
    EXPECT_EQ(Ctl<QSlider>(2120).value(), 79);
    box.click();
    WaitUntilSent();
    Drain();
    EXPECT_EQ(Amp().MicControl().time, 0);
    EXPECT_EQ(Amp().MicControl().rate, 20);
    EXPECT_FALSE(box.isChecked());
}

// A band's gain truncates toward zero on the shown page; a change that truncates back to the band's own
// decibel, made by the keys or the wheel, moves one decibel, so that no step is lost between the amplifier's.
TEST_F(MainWindowEdits, GraphicEqEditsTruncateTowardZeroOnTheShownPage) {
    OpenSynchronised();
    struct Case {
        int pageButton;
        int band;
        float gain;
        std::size_t field;
        int value;
    };
    const Case cases[] = {
        {1098, 3, -3.7f, pos::MicGEQ + 3, 61},    {1098, 3, 3.7f, pos::MicGEQ + 3, 67},
        {1099, 0, -14.0f, pos::MusicGEQ + 0, 50}, {1097, 9, 0.9f, pos::CenterGEQ + 9, 65},
        {1100, 5, 12.2f, pos::SubGEQ + 5, 76},
    };
    auto& panel = Ctl<EqGraph>(1015);
    for (const Case& c : cases) {
        Ctl<QAbstractButton>(c.pageButton).click();
        EqPoint point = panel.Point(c.band);
        point.gain = c.gain;
        emit panel.pointChanged(point, 1015);
        EXPECT_EQ(DeviceValue(c.field), c.value) << c.gain << " dB on page button " << c.pageButton;
    }
    // A selection writes the band's current values as well.
    EqPoint point = panel.Point(2);
    point.gain = -1.0f;
    emit panel.pointSelected(point, 1015);
    EXPECT_EQ(DeviceValue(pos::SubGEQ + 2), 63);
}

TEST_F(MainWindowEdits, CompressorPresetZeroChangesNothingButThePreset) {
    OpenSynchronised();
    ChooseFromList(Ctl<QComboBox>(1229), 5);
    Drag(2102, 40);
    Drag(2106, 20);
    const std::array<int, 5> positions = {Ctl<QSlider>(2102).value(), Ctl<QSlider>(2103).value(),
                                          Ctl<QSlider>(2104).value(), Ctl<QSlider>(2105).value(),
                                          Ctl<QSlider>(2106).value()};
    const std::array<std::uint8_t, kFileBlockSize> before = Session().Store().GetFileBlock();
    ChooseFromList(Ctl<QComboBox>(1229), 0);
    std::array<std::uint8_t, kFileBlockSize> expected = before;
    expected[pos::Compress_Mic + pos::CompressPreset] = 0;
    EXPECT_EQ(Session().Store().GetFileBlock(), expected);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(Ctl<QSlider>(2102 + k).value(), positions[k]) << 2102 + k;
    }
    EXPECT_EQ(DeviceValue(pos::Compress_Mic + pos::CompressThreshold), 40);
}

TEST_F(MainWindowEdits, ALockedMicVolumeSnapsBackWithANoticeAndTheCentreVolumeNeverLocks) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        SetDeviceMachine(amp, {{MachineField::EnableLockFunc, 1}, {MachineField::Lock_MicVol, 1}});
        SetDeviceValue(amp, pos::MicVol, 12);
    });
    Drag(1106, 30);
    EXPECT_EQ(Window().NoticeText(), "Mic vol locked!");
    EXPECT_EQ(Ctl<QSlider>(1106).value(), 12);
    EXPECT_EQ(DeviceValue(pos::MicVol), 12);
    EXPECT_EQ(ShownValue("MicVol"), "12");

    Drag(1103, 25);
    EXPECT_EQ(DeviceValue(pos::MusicVol), 25) << "the music volume is not locked";
    Drag(1104, 30);
    EXPECT_EQ(DeviceValue(pos::CenterVol), 30);
    EXPECT_EQ(ShownValue("CenterVol"), "30");
}

// The preset's values reach the sliders and labels from the read-back replies alone, and they are what a full
// re-read of the amplifier then shows.
TEST_F(MainWindowEdits, AnEffectPresetIsReadBackIntoItsSlidersAsAFullReReadShowsThem) {
    OpenSynchronised();
    ChooseFromList(Ctl<QComboBox>(1228), 8);
    const std::array<std::uint8_t, 8>& params = sim::EffectPresetParams(8);
    // HPF, HSF, (pre-delay), level, delay, feedback of effect 2.
    const std::array<int, 5> expected = {params[0], params[1], params[3], params[4], params[5]};
    constexpr const char* kSliders[] = {"EffectHPF.1", "EffectHSF.1", "EffectLevel.1", "EffectDelayTime.1",
                                        "EffectFeedback.1"};
    const auto shown = [&] {
        std::vector<std::pair<int, QString>> now;
        for (const char* parameter : kSliders) {
            now.emplace_back(127 - Ctl<QSlider>(SliderOf(parameter).id).value(), ShownValue(parameter));
        }
        return now;
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto now = shown();
            for (int k = 0; k < 5; ++k) {
                if (now[static_cast<std::size_t>(k)].first != expected[static_cast<std::size_t>(k)]) {
                    return false;
                }
            }
            return true;
        },
        kDeadlineMs))
        << "the sliders show the preset's values read back from the amplifier";
    WaitUntilSent();
    Drain();
    const auto afterPreset = shown();
    EXPECT_EQ(Ctl<QComboBox>(1228).currentIndex(), 8);

    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(2));
    Drain();
    EXPECT_EQ(shown(), afterPreset) << "a full re-read shows nothing else";
}

TEST_F(MainWindowEdits, RawValueDisplayShowsNumbersInsteadOfUnits) {
    OpenSynchronised();
    Drag(2108, 127);
    EXPECT_EQ(ShownValue("EffectHPF.0"), "OFF");
    Drag(2112, 63);
    EXPECT_EQ(ShownValue("EffectFeedback.0"), "50%");
    Ctl<QCheckBox>(1113).click();
    EXPECT_EQ(Window().RawValues(), 1);
    EXPECT_EQ(ShownValue("EffectHPF.0"), "0");
    EXPECT_EQ(ShownValue("EffectFeedback.0"), "64");
}

// A press on a band that moves nothing writes nothing, although byte to value to byte does not give every
// byte back; a real drag still writes the band.
TEST_F(MainWindowEdits, APressOnAnEqBandThatMovesNothingWritesNothing) {
    // A frequency byte of the low-mid band that does not survive the round trip.
    int lossyFrequency = -1;
    for (int f = 0; f < 128 && lossyFrequency < 0; ++f) {
        const auto byte = static_cast<std::uint8_t>(f);
        if (ValueFormat::PeqFrequencyByte(1, ValueFormat::PeqFrequencyHz(1, byte)) != byte) {
            lossyFrequency = f;
        }
    }
    ASSERT_GE(lossyFrequency, 0);
    OpenSynchronised(1, [&](VirtualAmp& amp) {
        SetDeviceValue(amp, pos::PEQ_Mic + pos::PEQLMidGain, 64);
        SetDeviceValue(amp, pos::PEQ_Mic + pos::PEQLMidF, static_cast<std::uint8_t>(lossyFrequency));
    });
    auto& peq = Ctl<EqGraph>(1022);
    emit peq.pointSelected(peq.Point(1), 1022);
    emit peq.pointChanged(peq.Point(1), 1022);  // the end of a drag that came back to where it started
    Drain();
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidGain), 64);
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidF), lossyFrequency);

    EqPoint dragged = peq.Point(1);
    dragged.gain = 3.0f;
    emit peq.pointChanged(dragged, 1022);
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidGain), ValueFormat::PeqGainByte(3.0));
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidF), lossyFrequency)
        << "the unmoved frequency keeps its byte";
}

// A dragged band of the parametric EQ is labelled with what the amplifier gets: the label read while the
// button is held is the label of the bytes sent, as the window shows them once they are stored.
TEST_F(MainWindowEdits, ADraggedPeqBandIsLabelledWithTheValuesSent) {
    OpenSynchronised();
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    auto& peq = Ctl<EqGraph>(1022);
    struct Case {
        int band;
        QPoint by;  // the drag, from the handle's centre
    };
    const Case cases[] = {{1, {9, -23}}, {2, {-17, 11}}, {0, {5, 30}}, {3, {-41, -7}}, {1, {3, 1}}};
    for (const Case& c : cases) {
        (void)peq.grab();
        const QPoint handle = peq.HandleRect(c.band).center();
        QWidget* hit = Window().childAt(peq.mapTo(&Window(), handle));
        ASSERT_EQ(hit, &peq) << "band " << c.band + 1 << ": the handle is not what the window finds there";
        const QPoint to = handle + c.by;
        QTest::mousePress(hit, Qt::LeftButton, Qt::NoModifier, handle);
        QMouseEvent move(QEvent::MouseMove, to, hit->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(hit, &move);
        const std::string held = peq.SelectedLabel().lines.join(QLatin1Char(' ')).toStdString();
        QTest::mouseRelease(hit, Qt::LeftButton, Qt::NoModifier, to);
        WaitUntilSent();
        Drain();
        const std::uint8_t gain =
            DeviceValue(pos::PEQ_Mic + pos::PEQLowGain + static_cast<std::size_t>(c.band));
        const std::uint8_t frequency =
            DeviceValue(pos::PEQ_Mic + pos::PEQLowF + static_cast<std::size_t>(c.band));
        const QString sent = QString::asprintf(
            "F:%.1fHz G:%+.1fdB", static_cast<double>(ValueFormat::PeqFrequencyHz(c.band, frequency)),
            static_cast<double>(ValueFormat::PeqGainDb(gain)));
        EXPECT_EQ(held.substr(0, held.find(" Q:")), sent.toStdString())
            << "band " << c.band + 1 << ": held and sent differ";
        EXPECT_EQ(peq.SelectedLabel().lines.join(QLatin1Char(' ')).toStdString(), held)
            << "band " << c.band + 1 << ": the label changed when let go";
    }
}

// The wheel, the keys and the menu of the EQ graphs reach the amplifier through the graphs' edit path.
TEST_F(MainWindowEdits, WheelKeysAndMenuOfTheEqGraphsWriteTheirBands) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1098).click();  // the microphone's graphic EQ
    auto& graphic = Ctl<EqGraph>(1015);
    (void)graphic.grab();
    const auto bands = [&](std::size_t first) {
        std::array<std::uint8_t, 10> values{};
        for (std::size_t band = 0; band < values.size(); ++band) {
            values[band] = DeviceValue(first + band);
        }
        return values;
    };
    const auto mic = bands(pos::MicGEQ);
    const QPoint handle(graphic.Point(3).x + 36, graphic.Point(3).y + 16);
    QWheelEvent wheel(handle, graphic.mapToGlobal(handle), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&graphic, &wheel);
    Drain();
    EXPECT_EQ(DeviceValue(pos::MicGEQ + 3), mic[3] - 1) << "one notch down, one dB down";

    auto& peq = Ctl<EqGraph>(1022);
    const std::uint8_t frequency = DeviceValue(pos::PEQ_Mic + pos::PEQLMidF);
    const auto hz = static_cast<float>(ValueFormat::PeqFrequencyHz(1, frequency));
    peq.SetSelected(-1);
    QTest::keyClick(&peq, Qt::Key_Right);
    QTest::keyClick(&peq, Qt::Key_Right);
    QTest::keyClick(&peq, Qt::Key_Right, Qt::ShiftModifier);
    Drain();
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidF),
              ValueFormat::PeqFrequencyByte(1, static_cast<float>(hz * std::pow(2.0, 1.0 / 12))))
        << "Shift+Right moves the second band up a twelfth of an octave";

    const auto before = bands(pos::MicGEQ);
    const auto centre = bands(pos::CenterGEQ);
    const auto menu = graphic.ContextMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 5) << "shift up, shift down, copy to; the page's reset after a separator";
    actions[0]->trigger();
    Drain();
    const auto shifted = bands(pos::MicGEQ);
    for (std::size_t band = 0; band < shifted.size(); ++band) {
        EXPECT_EQ(shifted[band], std::min(before[band] + 1, 78)) << "band " << band;
    }
    QMenu* copy = actions[2]->menu();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(actions[2]->text(), "Copy this graphic EQ to");
    QStringList targets;
    for (QAction* target : copy->actions()) {
        targets << target->text();
    }
    EXPECT_EQ(targets, QStringList({"CENTER EQ", "MUSIC EQ", "SUB EQ"}));
    const auto music = bands(pos::MusicGEQ);
    copy->actions()[1]->trigger();
    Drain();
    EXPECT_EQ(bands(pos::MusicGEQ), shifted);
    EXPECT_EQ(bands(pos::CenterGEQ), centre) << "only the chosen page";
    EXPECT_EQ(bands(pos::MicGEQ), shifted);

    Window().Undo().Undo();
    Drain();
    EXPECT_EQ(bands(pos::MusicGEQ), music) << "one undo takes the whole copy back";
    EXPECT_EQ(bands(pos::MicGEQ), shifted);
    Window().Undo().Undo();
    Drain();
    EXPECT_EQ(bands(pos::MicGEQ), before) << "one undo takes the whole shift back";
}

// Choosing the preset a list already shows keeps the edits made since it was loaded.
TEST_F(MainWindowEdits, ChoosingThePresetAlreadyShownKeepsTheEdits) {
    OpenSynchronised();
    ChooseFromList(Ctl<QComboBox>(1229), 3);
    Drag(2102, 40);
    ChooseFromList(Ctl<QComboBox>(1229), 3);
    EXPECT_EQ(DeviceValue(pos::Compress_Mic + pos::CompressThreshold), 40) << "compressor preset reloaded";

    auto& list = Ctl<QComboBox>(1144);
    const int shown = list.currentIndex();
    ASSERT_GE(shown, 0);
    Drag(2110, 127 - 77);
    ChooseFromList(list, shown);
    Drain();
    EXPECT_EQ(StoreValue(pos::Effect1 + pos::EffectLevel), 77) << "effect preset reloaded";
    EXPECT_EQ(ShownValue("EffectLevel.0"), QString::fromStdString(ValueFormat::EffectLevelText(77)));
}

TEST_F(MainWindowEdits, TheInvalidLabelsFollowALanguageSwitch) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        VirtualAmpState state = amp.State();
        state.micControlSubTime = 0;
        amp.SetState(state);
    });
    EXPECT_EQ(ShownValue("MicControlSubTime"), "Invalid");
    Window().ApplyLanguage(0);
    EXPECT_EQ(ShownValue("MicControlSubTime"), "无效");
    EXPECT_EQ(ShownValue("MicControlSubRate"), "无效");
    Window().ApplyLanguage(1);
    EXPECT_EQ(ShownValue("MicControlSubRate"), "Invalid");
}

}  // namespace
}  // namespace varnoth::test
