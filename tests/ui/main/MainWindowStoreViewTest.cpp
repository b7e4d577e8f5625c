// SPDX-License-Identifier: GPL-3.0-or-later
// The window is a view of the store: whatever changed the store (an edit, the amplifier's replies, a load,
// undo, A/B), every control shows what the store holds, and that is what a full re-read of the amplifier
// then shows.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <string>

#include "MainWindowFixture.h"
#include "session/ParameterTable.h"
#include "session/ValueFormat.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

void ChooseFromList(QComboBox& list, int index) {
    list.setCurrentIndex(index);
    emit list.activated(index);
}

// Where a drag takes hold of an EQ graph's handle, relative to the point's coordinates.
const QPoint kHandleOrigin(36, 16);

class MainWindowStoreView : public MainWindowTest {
  protected:
    // Every control of the shown view against the store, with the parameter table's shown texts.
    void ExpectShowsTheStore(const std::string& after) {
        SCOPED_TRACE("after " + after);
        const bool micView = Window().MicView() != 0;
        for (const mainwin::SliderEdit& edit : StoreSliders()) {
            const ParameterRef shown = mainwin::OnPath(edit.parameter, micView);
            const std::uint8_t v = Session().Store().Value(static_cast<std::size_t>(shown.Position()));
            auto& slider = Ctl<QSlider>(edit.id);
            const int position = std::clamp(PositionShowing(slider, shown, v), 0, slider.maximum());
            EXPECT_EQ(slider.value(), position) << "slider of " << shown.Name();
            EXPECT_EQ(Text(edit.valueLabel).toStdString(), shown.Shown(v, 1)) << "label of " << shown.Name();
        }
        const std::size_t compress = micView ? pos::Compress_Mic : pos::Compress_Music;
        const std::size_t peq = micView ? pos::PEQ_Mic : pos::PEQ_Music;
        EXPECT_EQ(Ctl<QCheckBox>(1147).isChecked(), Session().Store().Value(compress + pos::CompressOn) != 0);
        EXPECT_FLOAT_EQ(Ctl<CompressorCurve>(1024).Threshold(),
                        ValueFormat::ThresholdDb(Session().Store().Value(compress + pos::CompressThreshold)));
        EXPECT_EQ(Ctl<QComboBox>(1229).currentIndex(),
                  Session().Store().Value(compress + pos::CompressPreset));
        EXPECT_EQ(Ctl<QCheckBox>(1040).isChecked(), Session().Store().Value(peq + pos::PEQOn) != 0);
        const std::size_t gains[] = {pos::PEQLowGain, pos::PEQLMidGain, pos::PEQHMidGain, pos::PEQHighGain};
        const std::size_t freqs[] = {pos::PEQLowF, pos::PEQLMidF, pos::PEQHMidF, pos::PEQHighF};
        for (int band = 0; band < 4; ++band) {
            const EqPoint& point = Ctl<EqGraph>(1022).Point(band);
            const auto b = static_cast<std::size_t>(band);
            EXPECT_FLOAT_EQ(point.gain, ValueFormat::PeqGainDb(Session().Store().Value(peq + gains[b])))
                << "band " << band;
            EXPECT_FLOAT_EQ(point.freq,
                            ValueFormat::PeqFrequencyHz(band, Session().Store().Value(peq + freqs[b])))
                << "band " << band;
        }
        const std::size_t banks[] = {pos::CenterGEQ, pos::MicGEQ, pos::MusicGEQ, pos::SubGEQ};
        for (int band = 0; band < 10; ++band) {
            EXPECT_FLOAT_EQ(
                Ctl<EqGraph>(1015).Point(band).gain,
                Session().Store().Value(banks[Window().EqPage()] + static_cast<std::size_t>(band)) - 64)
                << "graphic band " << band;
        }
        for (const int effect : {0, 1}) {
            EXPECT_EQ(Ctl<QComboBox>(effect == 0 ? 1144 : 1228).currentIndex(),
                      Session().Store().Value(pos::OfEffect(effect, pos::EffectPreset)));
        }
    }

    // Lets the amplifier answer what was sent and the window show it.
    void Settle() {
        WaitUntilSent();
        Drain();
        WaitUntilSent();
        Drain();
    }

    // Drags a handle of an EQ graph with the mouse by (dx, dy) pixels.
    void DragHandle(int graph, int band, QPoint by) {
        auto& panel = Ctl<EqGraph>(graph);
        panel.repaint();
        const EqPoint& point = panel.Point(band);
        const QPoint from = QPoint(point.x, point.y) + kHandleOrigin;
        QTest::mousePress(&panel, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            QMouseEvent move(QEvent::MouseMove, from + by * step / 4, panel.mapToGlobal(from + by * step / 4),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&panel, &move);
        }
        QTest::mouseRelease(&panel, Qt::LeftButton, {}, from + by);
    }
};

TEST_F(MainWindowStoreView, EveryWayTheStoreChangesIsShownAsTheAmplifierHoldsIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    m_chosenFile = folder.filePath(QStringLiteral("set.vqm"));
    OpenSynchronised();
    Window().show();
    struct Step {
        const char* what;
        bool changesTheStore;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"saving the set to a file", false, [&] { ASSERT_EQ(Window().SaveModeDataFile(), 1); }},
        {"choosing an effect preset", true, [&] { ChooseFromList(Ctl<QComboBox>(1144), 11); }},
        {"a drag of a PEQ band", true, [&] { DragHandle(1022, 1, QPoint(37, -23)); }},
        {"fine frequency steps of a PEQ band", true,
         [&] {
             auto& peq = Ctl<EqGraph>(1022);
             QTest::keyClick(&peq, Qt::Key_Right);  // the band after the dragged one
             for (int press = 0; press < 3; ++press) {
                 QTest::keyClick(&peq, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
             }
         }},
        {"fine gain steps of a graphic EQ band", true,
         [&] {
             auto& graphic = Ctl<EqGraph>(1015);
             for (int press = 0; press < 5; ++press) {
                 QTest::keyClick(&graphic, Qt::Key_Right);
             }
             QTest::keyClick(&graphic, Qt::Key_Up, Qt::ControlModifier);
         }},
        {"loading memory mode 2", true, [&] { Ctl<QAbstractButton>(1001).click(); }},
        {"undo of the load", true, [&] { Window().Undo().Undo(); }},
        {"an edit of set B", true,
         [&] {
             Window().Undo().SwitchCompare();
             Drag(2100, 20);
         }},
        {"the switch back to set A", true, [&] { Window().Undo().SwitchCompare(); }},
        {"loading the file", true, [&] { Ctl<QAbstractButton>(1039).click(); }},
        {"the music view", false, [&] { Ctl<QAbstractButton>(1023).click(); }},
        {"choosing a compressor preset", true, [&] { ChooseFromList(Ctl<QComboBox>(1229), 6); }},
    };
    for (const Step& step : steps) {
        const auto before = Session().Store().GetFileBlock();
        step.act();
        Settle();
        ExpectShowsTheStore(step.what);
        const auto shown = Session().Store().GetFileBlock();
        if (step.changesTheStore) {
            EXPECT_NE(shown, before) << step.what << " changed nothing: the step proves nothing";
        }
        const int syncs = m_syncs;
        Session().SynchronizeData(false);
        ASSERT_TRUE(WaitForSyncs(syncs + 1));
        Settle();
        const auto reread = Session().Store().GetFileBlock();
        for (std::size_t i = 0; i < reread.size(); ++i) {
            EXPECT_EQ(int{reread[i]}, int{shown[i]})
                << "a full re-read after " << step.what << " finds another " << ParameterAt(int(i))->Name();
        }
        ExpectShowsTheStore(std::string(step.what) + " and a full re-read");
    }
}

// A key step smaller than the amplifier's own still moves the value by one of its steps, and the graph never
// shows a value between two of them.
TEST_F(MainWindowStoreView, AFineKeyStepOfAnEqBandMovesOneStepOfTheAmplifier) {
    OpenSynchronised();
    Window().show();
    auto& peq = Ctl<EqGraph>(1022);
    peq.setFocus();
    QTest::keyClick(&peq, Qt::Key_Right);
    QTest::keyClick(&peq, Qt::Key_Right);  // the low-mid band
    const std::size_t freq = pos::PEQ_Mic + pos::PEQLMidF;
    for (int press = 0; press < 5; ++press) {
        const std::uint8_t before = Session().Store().Value(freq);
        QTest::keyClick(&peq, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        Settle();
        EXPECT_GT(Session().Store().Value(freq), before) << "press " << press;
        EXPECT_EQ(DeviceValue(freq), Session().Store().Value(freq));
        EXPECT_FLOAT_EQ(peq.Point(1).freq, ValueFormat::PeqFrequencyHz(1, Session().Store().Value(freq)));
    }
}

}  // namespace
}  // namespace varnoth::test
