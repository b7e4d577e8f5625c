// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "SessionHarness.h"
#include "device/sim/SimFactory.h"
#include "device/sim/SimProvider.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::SessionHarness;

std::vector<std::vector<int>> Commands(const std::vector<Report>& reports) {
    std::vector<std::vector<int>> commands;
    for (const Report& r : reports) {
        commands.push_back({r[1], r[2], r[3], r[4], r[5]});
    }
    return commands;
}

TEST(MemoryModes, ModesAreClampedRememberedAndSentWithoutReadBackUnlessAsked) {
    struct Case {
        void (*call)(DeviceSession&);
        int opcode;
        int sentMode;
    };
    const Case cases[] = {
        {[](DeviceSession& s) { s.LoadMode(5, false); }, 0x05, 3},
        {[](DeviceSession& s) { s.LoadMode(-2, false); }, 0x05, 0},
        {[](DeviceSession& s) { s.SaveMode(2); }, 0x04, 2},
        {[](DeviceSession& s) { s.SaveMode(9); }, 0x04, 3},
        {[](DeviceSession& s) { s.ResetMode(1, false); }, 0x06, 1},
    };
    for (const Case& c : cases) {
        SessionHarness h;
        ASSERT_TRUE(h.Connect());
        c.call(*h.session);
        ASSERT_TRUE(h.wire->WaitUntilIdle());
        EXPECT_EQ(Commands(h.wire->Sent()), (std::vector<std::vector<int>>{{c.opcode, c.sentMode, 0, 0, 0}}))
            << "opcode " << c.opcode;
        EXPECT_EQ(h.session->MemoryMode(), c.sentMode);
        EXPECT_TRUE(h.observer.Syncs().empty()) << "no read-back was asked for";
    }
}

TEST(MemoryModes, LoadAndResetWithReadBackRereadEverythingAndPostSyncDone) {
    for (bool reset : {false, true}) {
        SessionHarness h;
        ASSERT_TRUE(h.Connect());
        if (reset) {
            h.session->ResetMode(2, true);
        } else {
            h.session->LoadMode(2, true);
        }
        ASSERT_TRUE(h.observer.WaitForSyncs(1));
        const std::vector<Report> sent = h.wire->Sent();
        ASSERT_GT(sent.size(), 50u);
        EXPECT_EQ(sent[0][1], reset ? 0x06 : 0x05);
        EXPECT_EQ(sent[1][1], 0x80) << "the read-back starts with the device name";
        EXPECT_EQ(h.observer.Syncs(), std::vector<int>{0});
    }
}

// A save with a receipt learns whether the amplifier acknowledged it: yes when it answered; no when it kept
// silent, when there was no link, and when an unplug dropped the command before its turn.
TEST(MemoryModes, ASaveWithAReceiptLearnsWhetherTheAmplifierAcknowledgedIt) {
    enum class Fault { None, Silent, NoLink, UnplugBeforeItsTurn };
    struct Case {
        Fault fault;
        bool saved;
        std::size_t saves;  // SaveMode reports that reached the wire
    };
    for (const Case c : {Case{Fault::None, true, 1}, Case{Fault::Silent, false, 1},
                         Case{Fault::NoLink, false, 0}, Case{Fault::UnplugBeforeItsTurn, false, 0}}) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        LinkTiming timing = test::FastTiming();
        timing.replyWait = 50ms;
        SessionHarness h(timing);
        if (c.fault != Fault::NoLink) {
            ASSERT_TRUE(h.Connect());
        }
        if (c.fault == Fault::Silent) {
            h.wire->SetSilent();
        }
        if (c.fault == Fault::UnplugBeforeItsTurn) {
            h.session->SetWaitForTransfers(false);
            h.wire->HoldTransfers(true);
            h.session->SetMicControlSub(1, 1);
            ASSERT_TRUE(h.wire->WaitForHeldTransfer());
        }
        std::promise<bool> receipt;
        h.session->SaveMode(1, [&receipt](bool saved) { receipt.set_value(saved); });
        if (c.fault == Fault::UnplugBeforeItsTurn) {
            std::thread unplug([&h] { h.session->TryDisconnect(h.provider->m_path); });
            // Once the link is marked gone the save can no longer reach the wire, whether it is dropped
            // or finds no connection at its turn.
            for (int k = 0; k < 10000 && h.session->IsConnected(); ++k) {
                std::this_thread::sleep_for(1ms);
            }
            h.wire->HoldTransfers(false);
            unplug.join();
        }
        std::future<bool> told = receipt.get_future();
        ASSERT_EQ(told.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(told.get(), c.saved);
        std::size_t saves = 0;
        for (const Report& r : h.wire->Sent()) {
            saves += r[1] == 0x04 ? 1 : 0;
        }
        EXPECT_EQ(saves, c.saves);
        EXPECT_EQ(h.session->MemoryMode(), 1);
    }
}

TEST(MemoryModes, MicControlSubStoresAndSendsItsThreeArguments) {
    SessionHarness h;
    ASSERT_TRUE(h.Connect());
    h.session->SetMicControlSub(0, 20);
    ASSERT_TRUE(h.wire->WaitUntilIdle());
    ASSERT_EQ(h.wire->Sent().size(), 1u);
    Report expected{};
    expected[0] = 2;
    expected[1] = 0x10;
    expected[2] = 1;
    expected[3] = 0;
    expected[4] = 20;
    EXPECT_EQ(h.wire->Sent()[0], expected);
    EXPECT_EQ(h.session->GetMicControlSubTime(), 0);
    EXPECT_EQ(h.session->GetMicControlSubRate(), 20);
}

TEST(MemoryModes, MachineResetUnlockAndMutingSendWhatTheyShould) {
    SessionHarness h;
    ASSERT_TRUE(h.Connect());
    h.session->ResetMachine();
    h.session->UnLockMachine();
    h.session->ChooseEffectPreset(2, 4);
    ASSERT_TRUE(h.wire->WaitUntilIdle());
    EXPECT_EQ(Commands(h.wire->Sent()),
              (std::vector<std::vector<int>>{{0x68, 0xAA, 0, 0, 0}, {0x8a, 0, 0, 0, 0}}))
        << "an effect number other than 0 or 1 sends nothing";
}

TEST(MemoryModes, ChoosingAnEffectPresetReadsBackTheParametersTheDeviceSet) {
    auto provider = std::make_shared<SimProvider>();
    LinkTiming timing;
    timing.syncStartDelay = 1ms;
    DeviceSession session(provider, timing);
    ASSERT_EQ(session.Connect(nullptr), 1);

    session.ChooseEffectPreset(1, 7);
    // The last of the eight replies may still be on its way when ChooseEffectPreset returns.
    session.Store().ReadEffectRegisters();
    session.Disconnect(false);

    const auto& params = sim::EffectPresetParams(7);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectPreset)), 7);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectHPF)), params[0]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectHSF)), params[1]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectPreDelay)), params[2]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectLevel)), params[3]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectDelayTime)), params[4]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectFeedback)), params[5]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectHDamp)), params[6]);
    EXPECT_EQ(session.Store().Value(pos::OfEffect(1, pos::EffectThreshold)), params[7]);
    EXPECT_EQ(provider->Amp()->Register(3, 0, 1), 7);
}

}  // namespace
}  // namespace varnoth
