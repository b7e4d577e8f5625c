// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "session/DeviceSession.h"
#include "ui/main/StepText.h"

namespace varnoth::mainwin {
namespace {

// A step that changed one parameter names it with both values as shown; any other step shows its action.
TEST(StepText, NamesOneParameterWithItsValuesAndSeveralByTheAction) {
    DeviceSession session;
    session.Store().SetValue(pos::InputGain_Mic, 64);
    session.Store().SetValue(pos::MicGEQ + 2, 0x40);
    const WorkingSet before = CaptureWorkingSet(session);
    struct Case {
        void (*edit)(DeviceSession&);
        int language;
        const char* text;
    };
    const Case cases[] = {
        {[](DeviceSession& s) { s.Store().SetValue(pos::InputGain_Mic, 80); }, 1, "Undo: mic gain 64 → 80"},
        {[](DeviceSession& s) { s.Store().SetValue(pos::InputGain_Mic, 80); }, 0, "撤销：话筒增益 64 → 80"},
        {[](DeviceSession& s) { s.Store().SetValue(pos::MicGEQ + 2, 0x43); }, 1,
         "Undo: mic EQ band 3 +0dB → +3dB"},
        {[](DeviceSession& s) { s.Store().SetValue(pos::OfEffect(1, pos::EffectDelayTime), 127); }, 1,
         "Undo: effect 2 delay 40ms → 1365ms"},
        {[](DeviceSession& s) {
             s.Store().SetValue(pos::MicGEQ + 2, 0x41);
             s.Store().SetValue(pos::InputGain_Mic, 1);
         },
         1, "Undo: flat"},
    };
    for (const Case& c : cases) {
        DeviceSession edited;
        edited.Store().SetValue(pos::InputGain_Mic, 64);
        edited.Store().SetValue(pos::MicGEQ + 2, 0x40);
        c.edit(edited);
        EditStep step;
        step.action = "flat";
        step.before = before;
        step.after = CaptureWorkingSet(edited);
        EXPECT_EQ(UndoCommandText(&step, true, c.language), c.text);
    }
    EXPECT_EQ(UndoCommandText(nullptr, false, 1), "Redo");
}

}  // namespace
}  // namespace varnoth::mainwin
