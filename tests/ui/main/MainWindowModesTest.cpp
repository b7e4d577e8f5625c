// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../../device/TraceCapture.h"
#include "MainWindowFixture.h"
#include "session/RegisterMap.h"
#include "ui/main/ModeChanges.h"
#include "ui/main/QuickResets.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using Answer = ModeChanges::Answer;
constexpr int kNoMode = ModeChanges::kNoMode;

class ModeChangesTest : public MainWindowTest {
  protected:
    ModeChanges& Modes() { return Window().Modes(); }
    void Click(int id) { Ctl<QAbstractButton>(id).click(); }
    // Loads a memory mode with its button and waits for its read-back.
    void Load(int mode) {
        const int syncs = m_syncs;
        Click(1000 + mode);
        ASSERT_TRUE(WaitForSyncs(syncs + 1));
    }
    // Saves with the SAVE row's button and waits for the amplifier's acknowledgement.
    void Save(int mode) {
        Click(1004 + mode);
        WaitUntilSent();
        Drain();
    }
    int MarkedMode() {
        Modes().Refresh();
        int marked = kNoMode;
        for (int mode = 0; mode < 4; ++mode) {
            if (Modes().IsMarked(mode)) {
                EXPECT_EQ(marked, kNoMode) << "one dot at most";
                marked = mode;
            }
        }
        return marked;
    }
};

// The dot sits on the mode last loaded or saved exactly while the working set differs from it, whatever
// made the difference or took it away; and loading another mode asks exactly then (cancelled: nothing
// loads).
TEST_F(ModeChangesTest, TheDotAndTheQuestionAppearExactlyWhenTheSetDiffersFromItsMode) {
    const auto edit = [this] { Drag(2100, 127 - 90); };
    struct Case {
        const char* what;
        std::function<void()> steps;
        int dot;
    };
    const Case cases[] = {
        {"nothing loaded or saved this run, an edit", edit, kNoMode},
        {"M1 loaded", [this] { Load(0); }, kNoMode},
        {"M1 loaded, an edit",
         [&] {
             Load(0);
             edit();
         },
         0},
        {"M1 loaded, an edit and back",
         [&] {
             Load(0);
             const int was = Ctl<QSlider>(2100).sliderPosition();
             edit();
             Drag(2100, was);
         },
         kNoMode},
        {"M1 loaded, an edit undone",
         [&] {
             Load(0);
             edit();
             Window().Undo().UndoAction()->trigger();
         },
         kNoMode},
        {"M3 saved, an edit",
         [&] {
             Save(2);
             edit();
         },
         2},
        {"M3 saved, then M1 loaded",
         [&] {
             Save(2);
             Load(0);
         },
         kNoMode},
        {"M1 loaded, B edited",
         [&] {
             Load(0);
             Window().Undo().CompareAction()->trigger();
             edit();
         },
         0},
        {"M1 loaded, B edited, back to A",
         [&] {
             Load(0);
             Window().Undo().CompareAction()->trigger();
             edit();
             Window().Undo().CompareAction()->trigger();
         },
         kNoMode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenSynchronised();
        c.steps();
        EXPECT_EQ(MarkedMode(), c.dot);
        if (c.dot != kNoMode) {
            EXPECT_EQ(
                Ctl<QWidget>(1000 + c.dot).toolTip(),
                QString("Modified: the settings differ from M%1 as last loaded or saved").arg(c.dot + 1));
        }
        m_modeAnswer = Answer::Cancel;
        WaitUntilSent();
        const int mode = Amp().CurrentMode();
        const int syncs = m_syncs;
        Click(1001);
        EXPECT_EQ(m_modeQuestions.size(), c.dot != kNoMode ? 1u : 0u);
        if (c.dot != kNoMode) {
            WaitUntilSent();
            EXPECT_EQ(Amp().CurrentMode(), mode) << "cancelled: nothing loads";
            EXPECT_EQ(m_syncs, syncs);
        } else {
            EXPECT_EQ(Amp().CurrentMode(), 1) << "M2 loaded without a question";
        }
        Close();
    }
}

// With M1 loaded and edited, loading M2 asks; Cancel sends nothing, Discard loads M2 and leaves M1 as it
// was, Save stores the edited set in M1 before M2 is loaded.
TEST_F(ModeChangesTest, SaveDiscardAndCancelDoWhatTheySayOnTheAmplifier) {
    for (const Answer answer : {Answer::Cancel, Answer::Discard, Answer::Save}) {
        SCOPED_TRACE(static_cast<int>(answer));
        OpenSynchronised();
        Load(0);
        Drag(2100, 127 - 90);
        WaitUntilSent();
        const RegisterBank m1 = Amp().StoredSet(0);
        const RegisterBank m2 = Amp().StoredSet(1);
        const RegisterBank edited = Amp().WorkingSet();
        ASSERT_FALSE(m1 == m2);
        ASSERT_FALSE(edited == m1);
        const int syncs = m_syncs;
        m_modeAnswer = answer;
        Click(1001);
        ASSERT_EQ(m_modeQuestions.size(), 1u);
        const ModeChanges::Question& question = m_modeQuestions.front();
        EXPECT_EQ(question.caption, "Unsaved changes");
        EXPECT_EQ(question.text,
                  "The settings differ from M1 as it was last loaded or saved.\n"
                  "Save them to M1 before loading M2?");
        EXPECT_TRUE(question.canSave);
        EXPECT_EQ(question.save, "Save to M1");
        if (answer == Answer::Cancel) {
            WaitUntilSent();
            EXPECT_EQ(Amp().CurrentMode(), 0);
            EXPECT_TRUE(Amp().WorkingSet() == edited);
            EXPECT_TRUE(Amp().StoredSet(0) == m1);
            EXPECT_EQ(MarkedMode(), 0);
        } else {
            ASSERT_TRUE(WaitForSyncs(syncs + 1)) << "M2 is loaded";
            EXPECT_EQ(Amp().CurrentMode(), 1);
            EXPECT_TRUE(Amp().WorkingSet() == m2);
            EXPECT_TRUE(Amp().StoredSet(0) == (answer == Answer::Save ? edited : m1))
                << "M1 holds the edits only when saved, and then before M2 was loaded";
            EXPECT_EQ(Modes().Mode(), 1);
            EXPECT_EQ(MarkedMode(), kNoMode);
        }
        EXPECT_TRUE(m_warnings.empty());
        Close();
    }
}

// A save the amplifier does not receive (unplugged as the user answers) is told and nothing else happens:
// no load, the edits stay. With saving locked, or without an amplifier, the question offers no save and
// says why; closing asks too.
TEST_F(ModeChangesTest, WhenTheSaveCannotGoOutTheEditsStay) {
    OpenSynchronised();
    Load(0);
    Drag(2100, 127 - 90);
    WaitUntilSent();
    const RegisterBank m1 = Amp().StoredSet(0);
    Modes().SetHooks({[this](QWidget&, const ModeChanges::Question&) {
                          Provider().Unplug();
                          return Answer::Save;
                      },
                      [this](QWidget&, const QString& caption, const QString& text) {
                          m_warnings.push_back({caption, text});
                      }});
    const int syncs = m_syncs;
    Click(1001);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_warnings.empty(); }, kDeadlineMs));
    EXPECT_EQ(m_warnings.front().caption, "Not saved");
    EXPECT_EQ(m_warnings.front().text,
              "The amplifier did not confirm saving M1. The settings stay as they are "
              "and nothing else was done.");
    EXPECT_EQ(m_syncs, syncs) << "nothing was loaded";
    EXPECT_TRUE(Amp().StoredSet(0) == m1);
    EXPECT_EQ(StoreValue(pos::InputGain_Mic), 90);
    EXPECT_EQ(MarkedMode(), 0);
    Close();

    // Saving locked, Chinese: no save offered; discarding goes on with the load.
    OpenSynchronised(0, [](VirtualAmp& amp) {
        SetDeviceMachine(amp, {{MachineField::EnableLockFunc, 1}, {MachineField::Lock_SaveMode, 1}});
    });
    Load(0);
    Drag(2100, 127 - 90);
    Click(1001);
    ASSERT_EQ(m_modeQuestions.size(), 1u);
    EXPECT_FALSE(m_modeQuestions.back().canSave);
    EXPECT_EQ(m_modeQuestions.back().text.toStdString(),
              std::string("当前参数与载入或保存时的 M1 不同。\n存储模式已锁定，无法保存到 M1。\n"
                          "放弃这些更改并载入 M2 吗?"));
    EXPECT_EQ(Amp().CurrentMode(), 1) << "discarded";

    // Without the amplifier a file load asks, offers no save, and cancelled opens no file dialog.
    Drag(2100, 127 - 30);
    Provider().Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Session().IsConnected(); }, kDeadlineMs));
    m_modeAnswer = Answer::Cancel;
    Click(1039);
    ASSERT_EQ(m_modeQuestions.size(), 2u);
    EXPECT_FALSE(m_modeQuestions.back().canSave);
    EXPECT_TRUE(m_modeQuestions.back().text.contains(QString::fromUtf8("设备未连接，无法保存到 M2。")));
    EXPECT_TRUE(m_fileDialogs.empty());
    Close();
}

// Closing with unsaved changes asks: cancelled, the panel stays connected; saved, M1 holds the edits before
// the farewell.
TEST_F(ModeChangesTest, ClosingAsksAndASaveGoesOutBeforeTheFarewell) {
    for (const Answer answer : {Answer::Cancel, Answer::Save}) {
        OpenSynchronised();
        Load(0);
        Drag(2100, 127 - 90);
        WaitUntilSent();
        const RegisterBank edited = Amp().WorkingSet();
        m_modeAnswer = answer;
        Window().close();
        ASSERT_EQ(m_modeQuestions.size(), 1u);
        EXPECT_EQ(m_modeQuestions.front().text,
                  "The settings differ from M1 as it was last loaded or saved.\n"
                  "Save them to M1 before closing?");
        if (answer == Answer::Cancel) {
            EXPECT_EQ(Session().IsConnected(), 1) << "still open";
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !Session().IsConnected(); }, kDeadlineMs))
                << "closed once saved";
            EXPECT_TRUE(Amp().StoredSet(0) == edited);
        }
        m_modeAnswer = Answer::Discard;
        Close();
    }
}

// "Revert to M1" on the mode button's menu loads M1 again without asking.
TEST_F(ModeChangesTest, RevertReloadsTheModeWithoutAsking) {
    OpenSynchronised();
    Load(0);
    Drag(2100, 127 - 90);
    for (const int mode : {1, 0}) {
        emit Ctl<QAbstractButton>(1000 + mode).customContextMenuRequested(QPoint(2, 2));
    }
    EXPECT_EQ(Modes().RevertAction(0)->text(), "Revert to M1");
    EXPECT_TRUE(Modes().RevertAction(0)->isEnabled());
    EXPECT_FALSE(Modes().RevertAction(1)->isEnabled()) << "M2 is not the mode compared with";
    const int syncs = m_syncs;
    Modes().RevertAction(0)->trigger();
    ASSERT_TRUE(WaitForSyncs(syncs + 1));
    EXPECT_TRUE(m_modeQuestions.empty());
    EXPECT_TRUE(Amp().WorkingSet() == Amp().StoredSet(0));
    EXPECT_EQ(MarkedMode(), kNoMode);
}

using QuickResetsTest = MainWindowTest;

// Ctrl+click on a slider or its name sets the parameter to its default with one write per channel and is one
// undo step; a locked volume keeps its value.
TEST_F(QuickResetsTest, CtrlClickResetsASliderAndUndoBringsItBack) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        SetDeviceMachine(amp, {{MachineField::EnableLockFunc, 1}, {MachineField::Lock_MicVol, 1}});
        SetDeviceValue(amp, pos::InputGain_Mic, 64);
        SetDeviceValue(amp, pos::ChToEffect1, 50);
        SetDeviceValue(amp, pos::MicVol, 12);
    });
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    WaitUntilSent();
    struct Case {
        int clicked;  // a slider or a name label
        std::size_t position;
        std::uint8_t before;
        std::uint8_t after;
        std::uint64_t writes;
    };
    for (const Case c : {Case{2100, pos::InputGain_Mic, 64, 0, 2}, Case{1089, pos::ChToEffect1, 50, 0, 2},
                         Case{1106, pos::MicVol, 12, 12, 0}}) {
        SCOPED_TRACE(c.clicked);
        const std::size_t steps = Window().Undo().History().UndoCount();
        const std::uint64_t reports = Amp().ReportsReceived();
        QTest::mouseClick(&Ctl<QWidget>(c.clicked), Qt::LeftButton, Qt::ControlModifier, QPoint(3, 3));
        EXPECT_EQ(DeviceValue(c.position), c.after);
        EXPECT_EQ(Amp().ReportsReceived() - reports, c.writes);
        if (c.writes == 0) {
            EXPECT_EQ(Window().NoticeText(), "Mic vol locked!");
            continue;
        }
        EXPECT_EQ(Window().Undo().History().UndoCount(), steps + 1);
        Window().Undo().UndoAction()->trigger();
        EXPECT_EQ(DeviceValue(c.position), c.before);
    }
    EXPECT_EQ(Ctl<QSlider>(2100).value(), 127 - 64) << "the undone reset shows on the slider";
}

// The background menu over a group resets that group: over the second effect it writes its send, which was
// not at its default, and chooses the effect's preset again for the values the preset sets, as one undo step.
TEST_F(QuickResetsTest, AGroupsMenuEntryResetsTheGroupAsOneStep) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1023).click();  // the music view
    WaitUntilSent();
    const RegisterBank before = Amp().WorkingSet();
    QuickResets& resets = Window().Resets();
    const QWidget& effect2 = Ctl<QWidget>(2115);
    const QPoint over = effect2.mapTo(&Window(), effect2.rect().center());
    emit Window().customContextMenuRequested(over);
    ASSERT_TRUE(resets.GroupAction()->isVisible());
    EXPECT_EQ(resets.GroupAction()->text(), "Reset effect 2 to defaults");
    EXPECT_EQ(resets.GroupEntry(QuickResets::Group::Channel), "Reset music channel to defaults");
    const TraceCapture trace;
    resets.GroupAction()->trigger();
    WaitUntilSent();
    const RegisterBank after = Amp().WorkingSet();
    // The second effect's parameters (block 3, channel 1) and its send (block 8, index 9, a stereo pair).
    std::uint64_t changed = 0;
    for (std::size_t block = 0; block < RegisterBank::kBlocks; ++block) {
        for (std::size_t index = 0; index < RegisterBank::kIndexes; ++index) {
            for (std::size_t channel = 0; channel < RegisterBank::kChannels; ++channel) {
                const auto b = static_cast<std::uint8_t>(block);
                const auto i = static_cast<std::uint8_t>(index);
                const auto ch = static_cast<std::uint8_t>(channel);
                if (after.Get(b, i, ch) != before.Get(b, i, ch)) {
                    ++changed;
                    EXPECT_TRUE((b == 3 && ch == 1) || (b == 8 && i == 9))
                        << "register " << block << "/" << index << "/" << channel;
                }
            }
        }
    }
    EXPECT_GT(changed, 0u);
    const std::vector<std::string> lines = trace.Lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind(">Write: 2 9 ", 0) == 0; }),
              3)
        << "the send's pair and the preset";
    EXPECT_EQ(DeviceValue(pos::ChToEffect2), 0);
    EXPECT_EQ(DeviceValue(pos::Effect2 + pos::EffectLevel), before.Get(3, pos::EffectLevel, 1))
        << "the level as the preset has it";
    Window().Undo().UndoAction()->trigger();
    WaitUntilSent();
    EXPECT_TRUE(Amp().WorkingSet() == before) << "one undo brings the group back";
}

}  // namespace
}  // namespace varnoth::test
