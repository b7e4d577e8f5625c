// SPDX-License-Identifier: GPL-3.0-or-later
// The window never surprises the user and never loses an edit: undo with a remote in use, typed values and
// EQ edits that send only what changed, the wheel, what a memory mode holds, effect resets.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../device/TraceCapture.h"
#include "MainWindowFixture.h"
#include "session/RegisterMap.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/OfflineEdits.h"
#include "ui/main/QuickResets.h"
#include "ui/main/TypedEntry.h"
#include "ui/main/TypedValues.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using namespace std::chrono_literals;
using namespace mainwin;

constexpr int kMusicOutput = 1;
// Where the graph takes a pointer position to lie on a handle: the plot's origin for hit tests.
const QPoint kHandleOrigin(36, 16);

bool IsRegisterWrite(const std::string& line) {
    return line.rfind(">Write: 2 9 ", 0) == 0;
}

std::vector<std::string> RegisterWrites(const TraceCapture& trace) {
    std::vector<std::string> writes;
    for (const std::string& line : trace.Lines()) {
        if (IsRegisterWrite(line)) {
            writes.push_back(line);
        }
    }
    return writes;
}

// The registers (block and index) the writes went to.
std::set<std::string> Registers(const std::vector<std::string>& writes) {
    std::set<std::string> registers;
    for (const std::string& line : writes) {
        std::istringstream fields(line.substr(std::string(">Write: 2 9 ").size()));
        int block = 0;
        int index = 0;
        fields >> block >> index;
        registers.insert(std::to_string(block) + " " + std::to_string(index));
    }
    return registers;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + '\n';
    }
    return text;
}

class NoSurprise : public MainWindowTest {
  protected:
    WindowUndo& Undo() { return Window().Undo(); }

    void OpenShown() {
        OpenSynchronised();
        Window().show();
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        Drain();
    }

    void LoadMode(int mode) {
        const int syncs = m_syncs;
        Undo().NewGesture();
        Ctl<QAbstractButton>(kLoadModeButton + mode).click();
        ASSERT_TRUE(WaitForSyncs(syncs + 1));
        Drain();
    }

    // A notch of the wheel (down) over band `band` of an EQ graph.
    void Notch(EqGraph& graph, int band) {
        const QPoint handle(graph.Point(band).x + kHandleOrigin.x(), graph.Point(band).y + kHandleOrigin.y());
        QWheelEvent wheel(handle, graph.mapToGlobal(handle), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&graph, &wheel);
        Drain();
    }
};

// A memory mode loaded, then the music volume dragged, then the remote steps that volume: the drag's step
// stays in its place and says the amplifier has changed it since; Ctrl+Z on it writes nothing and never
// reaches the load before it, which stays the next step, named in the menu.
TEST_F(NoSurprise, AFollowedChangeNeverTurnsUndoIntoAnOlderStep) {
    m_followInterval = 100ms;
    OpenSynchronised();
    LoadMode(1);
    Undo().NewGesture();
    Drag(kMusicVolSlider, 14);
    ASSERT_EQ(DeviceValue(pos::MusicVol), 14);
    const std::size_t steps = Undo().History().UndoCount();

    Amp().TurnVolume(kMusicOutput, 16);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kMusicVolValue) == "16"; }, kDeadlineMs));
    Drain();
    EXPECT_EQ(Undo().History().UndoCount(), steps) << "the drag's step keeps its place";
    const QString named = Undo().UndoAction()->text();
    EXPECT_TRUE(named.startsWith("Undo: music volume")) << named.toStdString();
    EXPECT_TRUE(named.contains("changed on the amplifier")) << named.toStdString();

    const TraceCapture trace;
    Undo().UndoAction()->trigger();
    Drain();
    EXPECT_FALSE(Window().IsSyncing()) << "no write-all of the load before";
    WaitUntilSent();
    EXPECT_EQ(RegisterWrites(trace), std::vector<std::string>{}) << "the overtaken step writes nothing";
    EXPECT_EQ(Amp().Volume(kMusicOutput), 16);
    EXPECT_EQ(Undo().UndoAction()->text(), "Undo: load M2") << "the load is the next step, and says so";
    EXPECT_TRUE(Undo().RedoAction()->text().startsWith("Redo: music volume"));
}

// Enter on a typed value's field as it opened writes nothing, even when the amplifier changed the value
// meanwhile; a band's fields left as they opened are not written either.
TEST_F(NoSurprise, AnUnchangedTypedValueWritesNothing) {
    m_followInterval = 100ms;
    OpenShown();
    auto* typed = Window().findChild<TypedValues*>();
    QTest::mouseDClick(&Ctl<QLabel>(kMusicVolValue), Qt::LeftButton);
    ASSERT_NE(typed->Entry(), nullptr);
    Amp().TurnVolume(kMusicOutput, 31);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Session().Store().Value(pos::MusicVol) == 31; }, kDeadlineMs))
        << "the panel has followed the remote";
    const TraceCapture trace;
    QTest::keyClick(typed->Entry()->Edit(0), Qt::Key_Return);
    Drain();
    WaitUntilSent();
    EXPECT_EQ(RegisterWrites(trace), std::vector<std::string>{});
    EXPECT_EQ(Amp().Volume(kMusicOutput), 31) << "the remote's volume stays";

    auto& peq = Ctl<EqGraph>(kPeqPanel);
    peq.repaint();
    const EqPoint& point = peq.Point(1);
    QTest::mouseDClick(&peq, Qt::LeftButton, {}, QPoint(point.x, point.y) + kHandleOrigin);
    ASSERT_NE(typed->Entry(), nullptr);
    ASSERT_EQ(typed->Entry()->FieldCount(), 3);
    typed->Entry()->Edit(1)->setText("-5 dB");
    QTest::keyClick(typed->Entry()->Edit(1), Qt::Key_Return);
    Drain();
    WaitUntilSent();
    const std::vector<std::string> writes = RegisterWrites(trace);
    EXPECT_EQ(Registers(writes).size(), 1u) << "the gain alone:\n" << Joined(writes);
}

// A key or wheel step on a parametric band writes the field it changed, not the whole band.
TEST_F(NoSurprise, AnEqEditWritesOnlyTheFieldsThatChanged) {
    OpenSynchronised();
    auto& peq = Ctl<EqGraph>(kPeqPanel);
    (void)peq.grab();
    const std::uint8_t gain = DeviceValue(pos::PEQ_Mic + pos::PEQLMidGain);
    const TraceCapture trace;
    EqPoint point = peq.Point(1);
    point.gain += 1.0f;
    emit peq.pointChanged(point, kPeqPanel);
    Drain();
    WaitUntilSent();
    const std::vector<std::string> writes = RegisterWrites(trace);
    EXPECT_EQ(Registers(writes).size(), 1u) << "one field changed:\n" << Joined(writes);
    EXPECT_NE(DeviceValue(pos::PEQ_Mic + pos::PEQLMidGain), gain);
}

// Quick wheel notches on one band are one undo step; a notch after a pause starts the next one.
TEST_F(NoSurprise, QuickWheelNotchesOnOneBandAreOneStep) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1098).click();  // the microphone's graphic EQ
    auto& graphic = Ctl<EqGraph>(kGraphicPanel);
    (void)graphic.grab();
    // The graph's and the undo's gestures follow one clock that moves only when the test says so.
    const auto now = std::make_shared<qint64>(0);
    const auto clock = [now] { return *now; };
    graphic.SetWheelClock(clock);
    Undo().SetWheelClock(clock);
    const std::uint8_t before = DeviceValue(pos::MicGEQ + 3);
    const std::size_t steps = Undo().History().UndoCount();
    for (int notch = 0; notch < 5; ++notch) {
        Notch(graphic, 3);
        *now += WheelGesture::kPauseMs / 5;
    }
    EXPECT_EQ(DeviceValue(pos::MicGEQ + 3), before - 5);
    EXPECT_EQ(Undo().History().UndoCount(), steps + 1) << "five quick notches";
    *now += WheelGesture::kPauseMs + 1;
    Notch(graphic, 3);
    EXPECT_EQ(Undo().History().UndoCount(), steps + 2) << "a notch after a pause";

    Undo().UndoAction()->trigger();
    Undo().UndoAction()->trigger();
    EXPECT_EQ(DeviceValue(pos::MicGEQ + 3), before);
}

// Volumes the remote turns are no edit of the memory mode: no dot, no question on loading another mode; an
// edit of the mode's own parameters is, and Revert brings the mode back as it was read after its load.
TEST_F(NoSurprise, TheModifiedMarkerComparesTheModesOwnParametersOnly) {
    m_followInterval = 100ms;
    OpenSynchronised();
    LoadMode(1);
    const std::uint8_t gain = DeviceValue(pos::InputGain_Mic);
    Amp().TurnVolume(kMusicOutput, 9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kMusicVolValue) == "9"; }, kDeadlineMs));
    Window().Modes().Refresh();
    EXPECT_FALSE(Window().Modes().IsModified()) << "a turned volume is no edit of the mode";
    EXPECT_FALSE(Window().Modes().IsMarked(1));

    Undo().NewGesture();
    Drag(2100, 127 - 30);
    ASSERT_NE(DeviceValue(pos::InputGain_Mic), gain);
    Window().Modes().Refresh();
    EXPECT_TRUE(Window().Modes().IsMarked(1)) << "an edit of the mode's gain is";

    const int syncs = m_syncs;
    const TraceCapture trace;
    Window().Modes().Revert(1);
    ASSERT_TRUE(WaitForSyncs(syncs + 1));
    Drain();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), gain);
    EXPECT_EQ(RegisterWrites(trace), std::vector<std::string>{}) << "the amplifier loads the mode itself";
    EXPECT_FALSE(Window().Modes().IsModified());

    LoadMode(2);
    EXPECT_TRUE(m_modeQuestions.empty()) << "loading another mode asks nothing";
}

// An effect's reset brings back the values its chosen preset has on the amplifier, not raw zeros: the
// whole group at once, or one slider with Ctrl+click leaving the others as they were; each is one step that
// undo takes back.
TEST_F(NoSurprise, AnEffectResetRestoresTheChosenPresetsValues) {
    OpenSynchronised();
    constexpr int kSmallHall = 6;
    auto& list = Ctl<QComboBox>(kEffect1List);
    Undo().NewGesture();
    list.setCurrentIndex(kSmallHall);
    emit list.activated(kSmallHall);
    const auto effect = [&] {
        std::vector<int> values;
        for (std::uint8_t field = pos::EffectHPF; field < pos::kEffectParams; ++field) {
            values.push_back(DeviceValue(pos::OfEffect(0, field)));
        }
        return values;
    };
    const std::vector<int> preset = effect();
    ASSERT_NE(preset, std::vector<int>(preset.size(), 0));
    constexpr int kLevelSlider = kEffect1SendSlider + 3;
    constexpr int kDelaySlider = kEffect1SendSlider + 4;
    Undo().NewGesture();
    Drag(kDelaySlider, 3);
    Undo().NewGesture();
    Drag(kLevelSlider, 5);
    const std::vector<int> edited = effect();
    ASSERT_NE(edited, preset);

    Window().Resets().ResetGroup(QuickResets::Group::Effect1);
    EXPECT_EQ(effect(), preset) << "the amplifier holds the preset's values again";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Session().Store().Value(pos::OfEffect(0, pos::EffectDelayTime)) ==
                   preset[pos::EffectDelayTime - 1];
        },
        kDeadlineMs))
        << "the panel shows them";
    EXPECT_EQ(list.currentIndex(), kSmallHall);

    Undo().UndoAction()->trigger();
    EXPECT_EQ(effect(), edited) << "undo brings the edits back";

    QTest::mouseClick(&Ctl<QSlider>(kDelaySlider), Qt::LeftButton, Qt::ControlModifier);
    const std::vector<int> one = effect();
    EXPECT_EQ(one[pos::EffectDelayTime - 1], preset[pos::EffectDelayTime - 1])
        << "the delay as the preset has it";
    EXPECT_EQ(one[pos::EffectLevel - 1], edited[pos::EffectLevel - 1]) << "the level as it was";
}

// Edits made while the amplifier is unplugged stay in the panel, which says it is offline. The same
// amplifier back, the user chooses: send the offline changes (those alone) (the undo step stays and takes
// them back) or take the amplifier's settings (the step made offline goes); until the answer the window
// shows the offline edits, not the amplifier's values. Another amplifier keeps its
// settings and the set prepared offline waits in the context menu, loaded like a file.
TEST_F(NoSurprise, EditsMadeOfflineAreKeptUntilTheUserChooses) {
    OpenSynchronised();
    constexpr int kMicGainSlider = 2100;
    const std::uint8_t held = DeviceValue(pos::InputGain_Mic);
    int syncs = 1;
    const int heldPosition = Ctl<QSlider>(kMicGainSlider).value();
    int shownWhenAsked = -1;
    m_whileAsked = [&] { shownWhenAsked = Ctl<QSlider>(kMicGainSlider).value(); };
    const auto editOffline = [&](int position) {
        Provider().Unplug();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Session().IsConnected(); }, kDeadlineMs));
        Drain();
        Undo().NewGesture();
        Drag(kMicGainSlider, position);
        ASSERT_NE(StoreValue(pos::InputGain_Mic), held);
        EXPECT_EQ(Text(kConnectionText), "Offline (1)");
        EXPECT_EQ(Ctl<QLabel>(kConnectionText).toolTip(),
                  "Offline: 1 parameter(s) changed in the panel, not sent to an amplifier yet");
    };
    const auto plugIn = [&] {
        Provider().Plug();
        ASSERT_TRUE(WaitForSyncs(++syncs));
        Drain();
        WaitUntilSent();
    };

    editOffline(127 - 67);
    EXPECT_TRUE(Window().NoticeText().startsWith("Offline")) << Window().NoticeText().toStdString();
    const std::uint8_t offline = StoreValue(pos::InputGain_Mic);
    const std::size_t steps = Undo().History().UndoCount();
    // Meanwhile someone changed the music gain on the amplifier itself.
    SetDeviceValue(Amp(), pos::InputGain_Music, 99);
    m_answer = true;
    plugIn();
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_TRUE(m_questions[0].text.contains("1 parameter(s) differ")) << m_questions[0].text.toStdString();
    EXPECT_EQ(shownWhenAsked, 127 - 67) << "the window behind the question showed the amplifier's value";
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), offline) << "sent";
    EXPECT_EQ(DeviceValue(pos::InputGain_Music), 99) << "what the amplifier changed itself stays";
    EXPECT_EQ(Text(kConnectionText), "Connected");
    EXPECT_EQ(Undo().History().UndoCount(), steps);
    Undo().UndoAction()->trigger();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), held) << "the step made offline undoes it";

    editOffline(127 - 70);
    m_answer = false;
    plugIn();
    EXPECT_EQ(m_questions.size(), 2u);
    EXPECT_EQ(shownWhenAsked, 127 - 70) << "the window behind the question showed the amplifier's value";
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), held);
    EXPECT_EQ(StoreValue(pos::InputGain_Mic), held) << "the amplifier's settings";
    EXPECT_EQ(Ctl<QSlider>(kMicGainSlider).value(), heldPosition) << "the window shows the amplifier's value";
    EXPECT_EQ(Undo().History().UndoCount(), steps - 1) << "the step made offline is gone with its change";

    editOffline(127 - 75);
    const std::uint8_t prepared = StoreValue(pos::InputGain_Mic);
    Amp().SetDate("2011-11-11");
    plugIn();
    for (std::size_t asked = 2; asked < m_questions.size(); ++asked) {
        EXPECT_NE(m_questions[asked].caption, "Offline changes")
            << "another amplifier is not asked to take it";
    }
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), held);
    ASSERT_TRUE(Window().Offline().HasKept());
    QAction* load = Window().Offline().LoadKeptAction();
    EXPECT_TRUE(Undo().BackgroundMenu()->actions().contains(load));
    EXPECT_TRUE(load->isVisible());
    load->trigger();
    ASSERT_TRUE(WaitForSyncs(++syncs));
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), prepared) << "loaded like a file";
    EXPECT_EQ(Undo().UndoAction()->text(), "Undo: load the offline set");
}

// Closing while the amplifier does not answer: the window names the edits it never acknowledged, once.
TEST_F(NoSurprise, ClosingTellsWhichEditsTheSilentAmplifierNeverAcknowledged) {
    m_replyWait = std::chrono::milliseconds(20);
    m_timing.sync.giveUp = std::chrono::milliseconds(100);
    Open("silent");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kConnectionText) == "Not answering"; }, kDeadlineMs));
    ASSERT_TRUE(WaitForSyncs(1));
    Undo().NewGesture();
    Drag(2100, 127 - 40);
    Window().close();
    ASSERT_EQ(m_warnings.size(), 1u) << "told once";
    EXPECT_EQ(m_warnings[0].caption, "Not delivered");
    EXPECT_TRUE(m_warnings[0].text.contains("mic gain")) << m_warnings[0].text.toStdString();
    Window().close();
    EXPECT_EQ(m_warnings.size(), 1u);
}

}  // namespace
}  // namespace varnoth::test
