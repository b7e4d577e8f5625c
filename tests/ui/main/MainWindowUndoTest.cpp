// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <random>
#include <string>
#include <utility>

#include "MainWindowFixture.h"
#include "session/RegisterMap.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using MainWindowUndo = MainWindowTest;

// What the amplifier holds that the panel edits: every register and the mic-controls-sub setting.
struct AmpState {
    RegisterBank registers;
    std::uint8_t subTime;
    std::uint8_t subRate;

    bool operator==(const AmpState&) const = default;
};

constexpr int kPageButtons[] = {1097, 1098, 1099, 1100};
constexpr int kPresetLists[] = {1144, 1228, 1229};
constexpr int kBoxes[] = {1040, 1147, 1145, 1146};

class UndoSteps : public MainWindowUndo {
  protected:
    AmpState Amplifier() {
        WaitUntilSent();
        return {Amp().WorkingSet(), Amp().MicControl().time, Amp().MicControl().rate};
    }
    WindowUndo& Undo() { return Window().Undo(); }

    // One edit of the user's, a press of its own: a random control to a random value.
    void RandomEdit(std::mt19937& random) {
        const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
        Undo().NewGesture();
        switch (pick(9)) {
            case 0:
            case 1: {
                const std::vector<mainwin::SliderEdit> sliders = StoreSliders();
                const mainwin::SliderEdit& slider =
                    sliders[static_cast<std::size_t>(pick(static_cast<int>(sliders.size())))];
                Drag(slider.id, pick(slider.parameter.param->max + 1));
                break;
            }
            case 2:
                Ctl<QCheckBox>(kBoxes[pick(4)]).click();
                break;
            case 3: {
                auto& list = Ctl<QComboBox>(kPresetLists[pick(3)]);
                const int index = pick(list.count());
                list.setCurrentIndex(index);
                emit list.activated(index);
                break;
            }
            case 4: {
                Ctl<QAbstractButton>(kPageButtons[pick(4)]).click();
                auto& panel = Ctl<EqGraph>(1015);
                EqPoint point = panel.Point(pick(10));
                point.gain = static_cast<float>(pick(29) - 14);
                emit panel.pointChanged(point, 1015);
                break;
            }
            case 5: {
                auto& panel = Ctl<EqGraph>(1022);
                EqPoint point = panel.Point(pick(4));
                point.gain = static_cast<float>(pick(25) - 12);
                point.q = 1.0f + static_cast<float>(pick(19));
                emit panel.pointChanged(point, 1022);
                break;
            }
            case 6:
                Ctl<QAbstractButton>(pick(2) == 0 ? 1020 : 1023).click();
                Ctl<QAbstractButton>(pick(2) == 0 ? 1016 : 1036).click();
                break;
            case 7:
                Ctl<QAbstractButton>(1098).click();
                Ctl<QAbstractButton>(1025).click();
                break;
            default:
                Ctl<QAbstractButton>(1000 + pick(4)).click();
                break;
        }
        WaitUntilSent();
    }
};

// After each of three random runs of edits of every kind (sliders, boxes, presets, EQ bands, resets, memory
// modes), undoing the run brings back every register of the amplifier as it was, and redoing it brings back
// the end of the run.
TEST_F(UndoSteps, UndoingEverythingRestoresTheAmplifierAndRedoingEverythingReturnsToTheEnd) {
    OpenSynchronised();
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const AmpState start = Amplifier();
        const std::size_t earlier = Undo().History().UndoCount();
        for (int edit = 0; edit < 40; ++edit) {
            RandomEdit(random);
        }
        const AmpState end = Amplifier();
        ASSERT_NE(end, start);
        ASSERT_GT(Undo().History().UndoCount(), earlier + 10);
        while (Undo().History().UndoCount() > earlier) {
            Undo().UndoAction()->trigger();
        }
        EXPECT_TRUE(Amplifier() == start) << "undo to the start";
        while (Undo().History().NextRedo() != nullptr) {
            Undo().RedoAction()->trigger();
        }
        EXPECT_TRUE(Amplifier() == end) << "redo to the end";
    }
}

// A whole drag is one step; its undo names it, sends only the two registers of the stereo pair and moves the
// slider back; the keys and the background menu reach the same commands.
TEST_F(UndoSteps, ADragIsOneStepNamedInTheTooltipAndUndoneByItsKeys) {
    OpenSynchronised();
    Drag(2100, 127 - 64);
    Undo().NewGesture();
    const std::size_t steps = Undo().History().UndoCount();
    for (const int value : {70, 75, 80}) {
        Drag(2100, 127 - value);
    }
    EXPECT_EQ(Undo().History().UndoCount(), steps + 1);
    EXPECT_EQ(Undo().UndoAction()->toolTip(), QString::fromUtf8("Undo: mic gain 64 → 80"));
    EXPECT_TRUE(Undo().BackgroundMenu()->actions().contains(Undo().UndoAction()));
    EXPECT_TRUE(Undo().BackgroundMenu()->actions().contains(Undo().RedoAction()));

    WaitUntilSent();
    const std::uint64_t reports = Amp().ReportsReceived();
    Undo().UndoAction()->trigger();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), 64);
    EXPECT_EQ(Amp().ReportsReceived() - reports, 2u) << "one write per channel of the pair";
    EXPECT_EQ(Ctl<QSlider>(2100).value(), 127 - 64);
    EXPECT_EQ(ShownValue("InputGain_Mic"), "64");
    EXPECT_EQ(Undo().RedoAction()->toolTip(), QString::fromUtf8("Redo: mic gain 64 → 80"));

    Window().show();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    const std::pair<int, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Y, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
    };
    const int expected[] = {80, 64, 80};
    for (std::size_t k = 0; k < std::size(keys); ++k) {
        QTest::keyClick(&Window(), static_cast<Qt::Key>(keys[k].first), keys[k].second);
        EXPECT_EQ(DeviceValue(pos::InputGain_Mic), expected[k]) << "key " << k;
    }
}

// A new edit after an undo drops what could be redone; a press that changes nothing is no step; the history
// stays over a synchronisation of the same amplifier and starts anew for another one.
TEST_F(UndoSteps, HistoryBelongsToTheAmplifier) {
    OpenSynchronised();
    Drag(2101, 127 - 10);
    Undo().NewGesture();
    Drag(2101, 127 - 20);
    Undo().UndoAction()->trigger();
    Undo().NewGesture();
    Ctl<QCheckBox>(1146).click();
    EXPECT_EQ(Undo().History().RedoCount(), 0u);
    EXPECT_FALSE(Undo().RedoAction()->isEnabled());
    const std::size_t steps = Undo().History().UndoCount();
    Undo().NewGesture();
    auto& list = Ctl<QComboBox>(1144);
    emit list.activated(list.currentIndex());
    EXPECT_EQ(Undo().History().UndoCount(), steps);

    Provider().Unplug();
    Provider().Plug();
    ASSERT_TRUE(WaitForSyncs(2));
    EXPECT_EQ(Undo().History().UndoCount(), steps) << "the same amplifier again";

    Provider().Unplug();
    Amp().SetDate("2011-11-11");
    Provider().Plug();
    ASSERT_TRUE(WaitForSyncs(3));
    EXPECT_EQ(Undo().History().UndoCount(), 0u) << "another amplifier";
    EXPECT_FALSE(Undo().UndoAction()->isEnabled());
}

// A/B: the first switch keeps A and goes on with a copy of it; after edits in B each switch writes only the
// registers in which the sets differ and the amplifier then holds the chosen set; the title names the live
// set; copying and undoing a switch keep the amplifier and the marker together.
TEST_F(UndoSteps, CompareSwitchesBetweenTwoSetsWritingOnlyTheDifferences) {
    OpenSynchronised();
    const QString title = Window().windowTitle();
    Drag(2100, 127 - 30);
    const AmpState a = Amplifier();
    Undo().CompareAction()->trigger();
    EXPECT_EQ(Window().windowTitle(), title + " [B]");
    EXPECT_TRUE(Amplifier() == a) << "B starts as a copy of A";

    Undo().NewGesture();
    Drag(2100, 127 - 90);
    Undo().NewGesture();
    Ctl<QCheckBox>(1146).click();
    const AmpState b = Amplifier();
    const std::uint64_t reports = Amp().ReportsReceived();
    Undo().CompareAction()->trigger();
    EXPECT_TRUE(Amplifier() == a) << "back to A";
    EXPECT_EQ(Amp().ReportsReceived() - reports, 3u) << "the gain's pair and the phase";
    EXPECT_EQ(Window().windowTitle(), title + " [A]");
    EXPECT_EQ(Ctl<QSlider>(2100).value(), 127 - 30);
    Undo().CompareAction()->trigger();
    EXPECT_TRUE(Amplifier() == b) << "to B again";

    Undo().UndoAction()->trigger();
    EXPECT_TRUE(Amplifier() == a) << "the switch undone";
    EXPECT_EQ(Window().windowTitle(), title + " [A]");
    Undo().RedoAction()->trigger();
    EXPECT_EQ(Window().windowTitle(), title + " [B]");

    Undo().CopyAction(0)->trigger();
    EXPECT_TRUE(Amplifier() == a) << "A copied onto the live B";
    Undo().CompareAction()->trigger();
    EXPECT_TRUE(Amplifier() == a) << "A and B alike";
}

}  // namespace
}  // namespace varnoth::test
