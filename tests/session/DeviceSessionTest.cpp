// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/DeviceSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "SessionHarness.h"
#include "TraceCapture.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::MakeReport;
using test::SessionHarness;
using test::TraceCapture;

std::vector<int> Opcodes(const std::vector<Report>& reports) {
    std::vector<int> opcodes;
    for (const Report& r : reports) {
        opcodes.push_back(r[1]);
    }
    return opcodes;
}

// A device that answers the read-all sequence with recognisable values.
std::vector<Report> AnswerReadAll(const Report& sent) {
    switch (sent[1]) {
        case 0x80:
            return {MakeReport({0, 0x80, 'V', 'Q', '3', '1', '7', 'X'})};
        case 0x81:
            return {MakeReport({0, 0x81, '2', '0', '1', '1', '-', '1', '1', '-', '2', '8'})};
        case 0x07:
            return {MakeReport({0, 0x07, 2})};
        case 0x11:
            return {MakeReport({0, 0x11, 0, 10, 20})};
        case 0x0b:
            return {MakeReport({0, 0x0b, sent[2], sent[3], 50, 51, 52, 53, 54, 55, 56, 57})};
        case 0x92:
            return {MakeReport({0, 0x92, 1, 20, 0xFF, 30, 31, 32, 33, 1, 0x21, 0x12, 0x34})};
        case 0x62:
            return {MakeReport({0, 0x62, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})};
        default:
            return {MakeReport({0, sent[1]})};
    }
}

TEST(Session, StartsWithTheConstructedIdentityAndOptions) {
    DeviceSession session;
    EXPECT_EQ(session.GetDevName(), "VQ421");
    EXPECT_EQ(session.GetDevDate(), "2010-10-28");
    EXPECT_EQ(session.GetCurDevDate(), "2011-11-28");
    EXPECT_EQ(session.IsConnected(), 0);
    EXPECT_FALSE(session.IsSynchronised());
    EXPECT_EQ(session.WritesMachineRecord(), 1);
    EXPECT_EQ(session.WritesRemoteRecord(), 1);
    EXPECT_EQ(session.Connect(nullptr), 0) << "no provider, no device";
}

TEST(Session, ConnectsOnceAndNotWhileConnected) {
    SessionHarness h;
    h.provider->m_present = false;
    EXPECT_EQ(h.session->Connect(&h.observer), 0);
    EXPECT_EQ(h.session->IsConnected(), 0);

    h.provider->m_present = true;
    EXPECT_EQ(h.session->Connect(&h.observer), 1);
    EXPECT_EQ(h.session->Connect(&h.observer), 0);
    EXPECT_EQ(h.provider->m_opens.load(), 2);
    EXPECT_EQ(h.wire->LiveTransports(), 1);
    EXPECT_EQ(h.session->IsConnected(), 1);
    EXPECT_EQ(h.session->InUpgradeMode(), 0);
}

TEST(Session, DisconnectSaysTheFarewellOfItsModeOnlyWhenAsked) {
    struct Case {
        bool upgradeMode;
        bool farewell;
        std::vector<Report> sent;
    };
    const Case cases[] = {
        {false, true, {MakeReport({2, 0x8a})}},
        {true, true, {MakeReport({2, 0x03, 0, 0, 1})}},
        {false, false, {}},
        {true, false, {}},
    };
    for (const Case& c : cases) {
        SessionHarness h;
        h.provider->m_upgradeMode = c.upgradeMode;
        ASSERT_TRUE(h.Connect());
        EXPECT_EQ(h.session->InUpgradeMode(), c.upgradeMode ? 1 : 0);
        h.session->Disconnect(c.farewell);
        EXPECT_EQ(h.wire->Sent(), c.sent) << "upgrade " << c.upgradeMode << " farewell " << c.farewell;
        EXPECT_EQ(h.session->IsConnected(), 0);
        EXPECT_EQ(h.wire->LiveTransports(), 0) << "the transport was not closed";
        h.session->Disconnect(true);
        EXPECT_EQ(h.wire->Sent().size(), c.sent.size()) << "a second disconnect sent something";
    }
}

TEST(Session, OnlyTheRemovalOfTheOpenedDeviceEndsTheConnection) {
    SessionHarness h;
    h.provider->m_path = "/dev/HIDRAW3";
    ASSERT_TRUE(h.Connect());
    EXPECT_FALSE(h.session->TryDisconnect("/dev/hidraw4"));
    EXPECT_EQ(h.session->IsConnected(), 1);

    EXPECT_TRUE(h.session->TryDisconnect("/dev/hidraw3"));
    EXPECT_EQ(h.session->IsConnected(), 0);
    EXPECT_EQ(h.wire->LiveTransports(), 0);
    EXPECT_TRUE(h.wire->Sent().empty()) << "the removed device was sent a farewell";
    EXPECT_TRUE(h.session->TryDisconnect("/dev/hidraw3"));

    EXPECT_EQ(h.session->Connect(&h.observer), 1) << "cannot reconnect after removal";
}

TEST(Session, AReaderThatDoesNotEndInTimeIsTracedAndTheLinkClosedAnyway) {
    TraceCapture trace;
    SessionHarness h;
    ASSERT_TRUE(h.Connect());
    h.wire->SetStopReaderTimesOut(true);
    h.session->Disconnect(false);
    EXPECT_TRUE(trace.Contains("wait read thread exited time out !\n"));
    EXPECT_EQ(h.wire->LiveTransports(), 0);
}

TEST(Session, ReadAllAsksForEverythingStoresTheRepliesAndPostsSyncDone) {
    TraceCapture trace;
    SessionHarness h;
    h.wire->SetResponder(AnswerReadAll);
    ASSERT_TRUE(h.Connect());

    h.session->SynchronizeData(false);
    ASSERT_TRUE(h.observer.WaitForSyncs(1));
    ASSERT_TRUE(h.wire->WaitUntilIdle());
    EXPECT_TRUE(trace.Contains("Start thread:SynchronizeData\n"));
    EXPECT_EQ(h.observer.Syncs(), std::vector<int>{0});
    // Level polling resumes right after the notification, on the read-all thread.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!h.session->IsSynchronised() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(h.session->IsSynchronised()) << "level polling resumes after the read-all";

    ASSERT_TRUE(h.session->WaitUntilSent(20s));
    const std::vector<int> opcodes = Opcodes(h.wire->Sent());
    std::vector<int> expected{0x80, 0x81, 0x07, 0x11};
    expected.insert(expected.end(), 50, 0x0b);
    expected.push_back(0x92);
    expected.push_back(0x62);
    ASSERT_GE(opcodes.size(), expected.size());
    EXPECT_EQ(
        std::vector<int>(opcodes.begin(), opcodes.begin() + static_cast<std::ptrdiff_t>(expected.size())),
        expected);
    // This amplifier holds another value on every channel, so each stereo pair read is set whole again.
    const std::vector<int> repairs(opcodes.begin() + static_cast<std::ptrdiff_t>(expected.size()),
                                   opcodes.end());
    EXPECT_GT(h.session->Store().SplitPairsRepaired(), 0u);
    EXPECT_EQ(repairs, std::vector<int>(2 * h.session->Store().SplitPairsRepaired(), 0x09));

    DeviceSession& s = *h.session;
    EXPECT_EQ(s.GetDevName(), "VQ317X");
    EXPECT_EQ(s.GetDevDate(), "2011-11-28");
    EXPECT_EQ(s.MemoryMode(), 2);
    EXPECT_EQ(s.GetMicControlSubTime(), 10);
    EXPECT_EQ(s.GetMicControlSubRate(), 20);
    EXPECT_EQ(s.Store().Value(pos::InputGain_Mic), 50);
    EXPECT_EQ(s.Store().Value(pos::InputGain_Music), 52);
    EXPECT_EQ(s.Store().Value(pos::MusicVol), 12);
    EXPECT_EQ(s.Store().Value(pos::SubGEQ + 7), 55);
    EXPECT_EQ(s.Store().Value(pos::OfEffect(1, pos::EffectHDamp)), 51);
    EXPECT_EQ(s.GetMachineSet().Saved(MachineField::MaxSubVol), 33);
    EXPECT_EQ(s.GetMachineSet().GetWorkingRecord(), s.GetMachineSet().GetSavedRecord());
    EXPECT_EQ(s.GetRemote().GetRecord()[15], 15);
}

TEST(Session, WriteAllSendsMicControlSubFirstAndTheRecordsLastByTheirFlags) {
    struct Case {
        int setMachine;
        int setRemoter;
        std::vector<int> tail;
    };
    const Case cases[] = {
        {1, 1, {0x09, 0x91, 0x63}},
        {0, 1, {0x09, 0x09, 0x63}},
        {1, 0, {0x09, 0x09, 0x91}},
        {0, 0, {0x09, 0x09, 0x09}},
    };
    for (const Case& c : cases) {
        SessionHarness h;
        h.wire->Inject(MakeReport({0, 0x11, 0, 10, 20}));
        ASSERT_TRUE(h.Connect());
        ASSERT_TRUE(h.wire->WaitUntilIdle());
        h.session->SetWritesMachineRecord(c.setMachine);
        h.session->SetWritesRemoteRecord(c.setRemoter);
        h.session->GetMachineSet().Set(MachineField::MaxMicVol, 20);

        h.session->SynchronizeData(true);
        ASSERT_TRUE(h.observer.WaitForSyncs(1));
        EXPECT_EQ(h.observer.Syncs(), std::vector<int>{1});

        const std::vector<Report> sent = h.wire->Sent();
        ASSERT_GE(sent.size(), 3u);
        EXPECT_EQ(sent.front(), MakeReport({2, 0x10, 1, 10, 20}));
        const std::vector<int> opcodes = Opcodes(sent);
        EXPECT_EQ(std::vector<int>(opcodes.end() - 3, opcodes.end()), c.tail)
            << "machine " << c.setMachine << " remoter " << c.setRemoter;
        EXPECT_EQ(h.session->GetMachineSet().Saved(MachineField::MaxMicVol), c.setMachine ? 20 : 0)
            << "the applied working copy becomes the saved copy";
    }
}

TEST(Session, AStudiedKeyIsStoredAndNotifiedAndAnIndexBeyondTheRecordIsIgnored) {
    SessionHarness h;
    ASSERT_TRUE(h.Connect());
    h.wire->Inject(MakeReport({0, 0x60, 0x20, 2, 0x1C}));
    h.wire->Inject(MakeReport({0, 0x60, 0x55, 16, 0x77}));
    h.wire->Inject(MakeReport({0, 0x60, 0x55, 255, 0x77}));
    ASSERT_TRUE(h.wire->WaitUntilIdle());

    RemoteCodes::Record expected{};
    expected[0] = 0x20;
    expected[2] = 0x1C;
    EXPECT_EQ(h.session->GetRemote().GetRecord(), expected);
    EXPECT_EQ(h.observer.Keys(), std::vector<int>{0x1C});
}

TEST(Session, DestroyingTheSessionWhileWorkersRunEndsThemWithoutNotifying) {
    LinkTiming slow = test::FastTiming();
    slow.syncStartDelay = std::chrono::hours(1);
    SessionHarness h(slow);
    ASSERT_TRUE(h.Connect());

    // A write-all on a silent device spends its time waiting for replies; a read-all waits for its start.
    h.wire->SetSilent();
    h.session->SynchronizeData(true);
    ASSERT_TRUE(h.wire->WaitForSent(1));
    h.session->SynchronizeData(false);
    h.session.reset();
    EXPECT_TRUE(h.observer.Syncs().empty());
    EXPECT_EQ(h.wire->LiveTransports(), 0);
}

}  // namespace
}  // namespace varnoth
