// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include "session/DeviceSession.h"
#include "session/EditHistory.h"

namespace varnoth {
namespace {

// Every edit of its own gesture is a step; the history keeps the newest `depth` of them, and undoing them
// all leaves the store as it was before the oldest one kept.
TEST(EditHistory, KeepsTheNewestStepsUpToItsDepth) {
    DeviceSession session;
    EditHistory history(5);
    for (unsigned gesture = 1; gesture <= 8; ++gesture) {
        history.Begin(session, UndoSource::Of(UndoSource::Kind::Control, 1), gesture, "gain");
        session.Store().SetValue(pos::InputGain_Mic, static_cast<std::uint8_t>(gesture * 10));
        history.End(session);
    }
    EXPECT_EQ(history.UndoCount(), 5u);
    while (const EditStep* step = history.Undo(session)) {
        ApplyStep(session, *step, true);
    }
    EXPECT_EQ(session.Store().Value(pos::InputGain_Mic), 30);
    EXPECT_EQ(history.RedoCount(), 5u);
}

// Edits of one source within one gesture grow one step; another source or a new gesture starts the next one;
// an edit that changes nothing leaves no step.
TEST(EditHistory, MergesOneSourceWithinOneGesture) {
    DeviceSession session;
    EditHistory history;
    const auto edit = [&](int source, unsigned gesture, std::uint8_t gain) {
        history.Begin(session, UndoSource::Of(UndoSource::Kind::Control, source), gesture, "gain");
        session.Store().SetValue(pos::InputGain_Mic, gain);
        history.End(session);
    };
    edit(1, 1, 10);
    edit(1, 1, 20);
    edit(1, 1, 30);
    EXPECT_EQ(history.UndoCount(), 1u);
    edit(2, 1, 40);
    edit(2, 2, 50);
    edit(2, 3, 50);
    EXPECT_EQ(history.UndoCount(), 3u);
    ApplyStep(session, *history.Undo(session), true);
    ApplyStep(session, *history.Undo(session), true);
    EXPECT_EQ(session.Store().Value(pos::InputGain_Mic), 30);
    ApplyStep(session, *history.Undo(session), true);
    EXPECT_EQ(session.Store().Value(pos::InputGain_Mic), 0);
}

// The amplifier turned volumes itself (its keys, its remote): no step writes an older value of them back, a
// step that changed nothing else stays in its place as overtaken and writes nothing, so an undo never reaches
// past the step the user was shown; the rest of every step is undone and redone as before.
TEST(EditHistory, AVolumeTheAmplifierTurnedLeavesEveryStepInItsPlace) {
    DeviceSession session;
    EditHistory history;
    const auto edit = [&](unsigned gesture, const std::function<void()>& change) {
        history.Begin(session, UndoSource::Of(UndoSource::Kind::Control, 1), gesture, "edit");
        change();
        history.End(session);
    };
    const auto turned = [&](const char* name, std::uint8_t volume) {
        session.Store().StoreValue(static_cast<std::size_t>(FindParameter(name)->Position()),
                                   volume);  // the reply's value in the store
        history.Follow(*WorkingSetPosition(name), volume);
    };
    edit(1, [&] { session.Store().SetValue(pos::InputGain_Mic, 30); });
    edit(2, [&] {
        session.Store().SetValue(pos::MicVol, 10);
        session.Store().SetValue(pos::InputGain_Mic, 40);
    });
    edit(3, [&] { session.Store().SetValue(pos::MusicVol, 5); });
    ApplyStep(session, *history.Undo(session), true);
    turned("MusicVol", 7);
    ASSERT_EQ(history.RedoCount(), 1u);
    EXPECT_TRUE(history.NextRedo()->overtaken)
        << "the undone music volume stays, as a step that sends nothing";
    EXPECT_EQ(ApplyStep(session, *history.Redo(), false), 0);
    ApplyStep(session, *history.Undo(session), true);
    EXPECT_EQ(session.Store().Value(pos::MusicVol), 7);
    edit(4, [&] { session.Store().SetValue(pos::MicVol, 20); });
    ASSERT_EQ(history.UndoCount(), 3u);

    turned("MicVol", 25);
    ASSERT_EQ(history.UndoCount(), 3u) << "the step of the mic volume alone keeps its place";
    EXPECT_TRUE(history.NextUndo()->overtaken);
    edit(4, [&] { session.Store().SetValue(pos::InputGain_Mic, 50); });
    EXPECT_EQ(history.UndoCount(), 4u) << "the gesture of an overtaken step grows no step";

    const struct {
        int gain;
        bool writes;
    } undone[] = {{40, true}, {40, false}, {30, true}, {0, true}};
    for (const auto& [gain, writes] : undone) {
        EXPECT_EQ(ApplyStep(session, *history.Undo(session), true) != 0, writes)
            << "undoing to gain " << gain;
        EXPECT_EQ(session.Store().Value(pos::InputGain_Mic), gain);
        EXPECT_EQ(session.Store().Value(pos::MicVol), 25);
    }
    while (const EditStep* step = history.Redo()) {
        ApplyStep(session, *step, false);
    }
    EXPECT_EQ(session.Store().Value(pos::InputGain_Mic), 50);
    EXPECT_EQ(session.Store().Value(pos::MicVol), 25);
    EXPECT_EQ(session.Store().Value(pos::MusicVol), 7);
}

}  // namespace
}  // namespace varnoth
