// SPDX-License-Identifier: GPL-3.0-or-later
// A value the user, a file or an undo has set is never replaced by an older value from the amplifier while a
// whole-set transfer runs, and the whole-set transfers keep their order.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "SessionHarness.h"
#include "device/Opcodes.h"
#include "session/DeviceSession.h"
#include "session/ParameterTable.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::MakeReport;
using test::SessionHarness;
using test::Write;

// The amplifier of these tests: every register holds `value` on every channel, the mic-controls-sub setting
// is 0 (off) and the effect presets are 13.
constexpr int kAmplifierValue = 64;
constexpr int kAmplifierPreset = 13;

std::vector<Report> Amplifier(const Report& sent) {
    if (sent[1] == op::ReadRegisterArray) {
        const int value = sent[2] == 3 && sent[3] == 0 ? kAmplifierPreset : kAmplifierValue;
        return {MakeReport({0, sent[1], sent[2], sent[3], value, value, value, value, value, value})};
    }
    if (sent[1] == op::ReadMicControlSub) {
        return {MakeReport({0, sent[1], 0, 0, 0})};
    }
    return {MakeReport({0, sent[1], sent[2], sent[3]})};
}

// A connected session whose read-all is held at its first command, so that the test acts while it runs.
struct ReadAllUnderWay {
    ReadAllUnderWay() {
        h.wire->SetResponder(Amplifier);
        EXPECT_TRUE(h.Connect());
        h.session->SetWaitForTransfers(false);
        h.wire->HoldTransfers(true);
        h.session->SynchronizeData(false);
        EXPECT_TRUE(h.wire->WaitForHeldTransfer());
    }
    // Lets everything go out and waits until the session is quiet.
    void Finish(std::size_t syncs) {
        h.wire->HoldTransfers(false);
        EXPECT_TRUE(h.observer.WaitForSyncs(syncs));
        EXPECT_TRUE(h.session->WaitUntilSent(20s));
        EXPECT_TRUE(h.wire->WaitUntilIdle());
    }
    SessionHarness h;
};

TEST(SyncOrder, AFileLoadedWhileAReadAllRunsIsWhatTheStoreKeepsAndTheWriteAllSends) {
    ReadAllUnderWay run;
    DeviceSession& s = *run.h.session;
    std::array<std::uint8_t, kFileBlockSize> file{};
    file.fill(50);
    s.Store().SetFileBlock(file);
    s.SynchronizeData(true);
    run.Finish(2);
    for (const ParameterRef& ref : AllParameters()) {
        if (ref.Position() == kNotStored || ref.Position() >= static_cast<int>(kFileBlockSize) ||
            !ref.Registers().hasRegister) {
            continue;
        }
        EXPECT_EQ(s.Store().Value(static_cast<std::size_t>(ref.Position())), ref.Stored(50))
            << ref.Name() << ": the read-all put the amplifier's old value back";
    }
    const std::vector<Write> writes = run.h.Writes();
    ASSERT_FALSE(writes.empty());
    for (const Write& w : writes) {
        EXPECT_NE(w.value, kAmplifierValue) << "the write-all sent a value read from the amplifier: register "
                                            << w.block << "/" << w.index << "/" << w.channel;
    }
}

TEST(SyncOrder, AnEditDuringTheWriteAllOfTheSameParameterStaysInThePanelAndReachesTheAmplifier) {
    SessionHarness h;
    h.wire->SetResponder(Amplifier);
    ASSERT_TRUE(h.Connect());
    h.session->SetWaitForTransfers(false);
    h.wire->HoldTransfers(true);
    h.session->SynchronizeData(true);
    ASSERT_TRUE(h.wire->WaitForHeldTransfer());  // the write-all's first write: the mic gain
    h.session->Store().SetValue(pos::InputGain_Mic, 99);
    h.wire->HoldTransfers(false);
    ASSERT_TRUE(h.observer.WaitForSyncs(1));
    ASSERT_TRUE(h.session->WaitUntilSent(20s));
    EXPECT_EQ(h.session->Store().Value(pos::InputGain_Mic), 99)
        << "the write-all stored its older value back";
    int last = -1;
    for (const Write& w : h.Writes()) {
        if (w.block == 8 && w.index == 4 && w.channel == 0) {
            last = w.value;
        }
    }
    EXPECT_EQ(last, 99) << "the amplifier's last word on the mic gain";
}

// Presets and the mic-controls-sub setting are protected like register writes: the read-all's reply does not
// put the old preset back in the panel while the amplifier runs the new one.
TEST(SyncOrder, APresetOrMicControlsSubChosenDuringAReadAllStaysInThePanel) {
    ReadAllUnderWay run;
    DeviceSession& s = *run.h.session;
    s.ChooseEffectPreset(0, 6);
    s.SetMicControlSub(7, 30);
    run.Finish(1);
    EXPECT_EQ(s.Store().Value(pos::OfEffect(0, pos::EffectPreset)), 6)
        << "the panel shows the amplifier's old preset";
    EXPECT_EQ(s.GetMicControlSubTime(), 7);
    EXPECT_EQ(s.GetMicControlSubRate(), 30);
}

// A write-all asked for while a read-all waits for its start goes after it: it sends nothing that was not
// read from this amplifier.
TEST(SyncOrder, AWriteAllAskedForDuringTheReadAllsStartDelayGoesAfterIt) {
    LinkTiming timing = test::FastTiming();
    timing.syncStartDelay = 300ms;
    SessionHarness h(timing);
    h.wire->SetResponder(Amplifier);
    ASSERT_TRUE(h.Connect());
    h.session->SetWaitForTransfers(false);
    h.session->SynchronizeData(false);
    h.session->SynchronizeData(true);
    ASSERT_TRUE(h.observer.WaitForSyncs(2));
    EXPECT_EQ(h.observer.Syncs(), (std::vector<int>{0, 1}));
    const std::vector<Report> sent = h.wire->Sent();
    const auto firstWrite =
        std::find_if(sent.begin(), sent.end(), [](const Report& r) { return r[1] == op::WriteRegister; });
    const auto lastRead = std::find_if(sent.rbegin(), sent.rend(),
                                       [](const Report& r) { return r[1] == op::ReadRegisterArray; });
    ASSERT_NE(firstWrite, sent.end());
    ASSERT_NE(lastRead, sent.rend());
    EXPECT_LT(lastRead.base() - sent.begin(), firstWrite - sent.begin() + 1)
        << "a write went out before a read";
}

// The farewell keeps its own bound when it comes during the read-all's closing pause.
TEST(SyncOrder, TheFarewellDoesNotWaitOutTheReadAllsClosingPause) {
    LinkTiming timing = test::FastTiming();
    timing.syncTailPause = 60s;
    SessionHarness h(timing);
    h.wire->SetResponder(Amplifier);
    ASSERT_TRUE(h.Connect());
    h.session->SetWaitForTransfers(false);
    h.session->SynchronizeData(false);
    // The IR record is the read-all's last request; its pause follows.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    const auto asked = [&] {
        const std::vector<Report> sent = h.wire->Sent();
        return std::any_of(sent.begin(), sent.end(), [](const Report& r) { return r[1] == op::ReadIRSet; });
    };
    while (!asked() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(asked());
    const auto start = std::chrono::steady_clock::now();
    h.session->Disconnect(true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s) << "the farewell waited for the minute's pause";
    const std::vector<Report> sent = h.wire->Sent();
    EXPECT_EQ(sent.back()[1], op::UnLockMachine) << "the farewell went out last";
}

}  // namespace
}  // namespace varnoth
