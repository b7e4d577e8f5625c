#include <gtest/gtest.h>

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
        history.Begin(session, 1, gesture, "gain");
        session.SetInputGain_Mic(static_cast<std::uint8_t>(gesture * 10));
        history.End(session);
    }
    EXPECT_EQ(history.UndoCount(), 5u);
    while (const EditStep* step = history.Undo(session)) {
        ApplyStep(session, *step, true);
    }
    EXPECT_EQ(session.GetInputGain_Mic(), 30);
    EXPECT_EQ(history.RedoCount(), 5u);
}

// Edits of one source within one gesture grow one step; another source or a new gesture starts the next one;
// an edit that changes nothing leaves no step.
TEST(EditHistory, MergesOneSourceWithinOneGesture) {
    DeviceSession session;
    EditHistory history;
    const auto edit = [&](int source, unsigned gesture, std::uint8_t gain) {
        history.Begin(session, source, gesture, "gain");
        session.SetInputGain_Mic(gain);
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
    EXPECT_EQ(session.GetInputGain_Mic(), 30);
    ApplyStep(session, *history.Undo(session), true);
    EXPECT_EQ(session.GetInputGain_Mic(), 0);
}

}  // namespace
}  // namespace varnoth
