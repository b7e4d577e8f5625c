// SPDX-License-Identifier: GPL-3.0-or-later
// The session as the window drives it: commands are queued and sent by the connection's link thread, on
// the virtual amplifier in each of its ways of answering.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "SessionHarness.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimScenario.h"
#include "session/DeviceSession.h"
#include "session/RegisterMap.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::RecordingObserver;

constexpr int kVolumeOffset = 40;

LinkTiming QuickTiming() {
    LinkTiming timing;
    timing.replyWait = 100ms;  // the slow amplifier answers within 30 ms
    timing.syncStartDelay = 50ms;
    timing.syncTailPause = 1ms;
    return timing;
}

struct WindowSession {
    explicit WindowSession(const std::string& scenario) {
        EXPECT_EQ(ApplySimScenario(scenario, *provider), "");
        session = std::make_unique<DeviceSession>(provider, QuickTiming());
        session->SetWaitForTransfers(false);
    }
    VirtualAmp& Amp() { return *provider->Amp(); }

    std::shared_ptr<SimProvider> provider = std::make_shared<SimProvider>();
    RecordingObserver observer;
    std::unique_ptr<DeviceSession> session;
};

std::uint8_t StoreByte(DeviceSession& session, std::size_t position) {
    if (position < kFileBlockSize) {
        return session.Store().GetFileBlock()[position];
    }
    const std::uint8_t volumes[] = {session.Store().Value(pos::MicVol), session.Store().Value(pos::MusicVol),
                                    session.Store().Value(pos::CenterVol),
                                    session.Store().Value(pos::SubVol)};
    return volumes[position - pos::MicVol];
}

// Empty when the register(s) of a store position hold what the store says (both channels of a pair).
std::string Mismatch(DeviceSession& session, VirtualAmp& amp, std::size_t position) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    const int stored = StoreByte(session, position);
    const int expected = entry.rule == ValueRule::Volume ? stored + kVolumeOffset : stored;
    for (int channel = entry.channel; channel <= entry.channel + (entry.stereo ? 1 : 0); ++channel) {
        const int held = amp.Register(entry.block, entry.index, static_cast<std::uint8_t>(channel));
        if (held != expected) {
            return "position " + std::to_string(position) + " channel " + std::to_string(channel) +
                   ": device " + std::to_string(held) + ", store " + std::to_string(stored);
        }
    }
    return {};
}

// A burst of edits while the read-all runs: a stereo slider dragged, a graphic EQ swept, a volume.
std::set<std::size_t> Drag(DeviceSession& session) {
    for (int v = 0; v <= 60; ++v) {
        session.Store().SetValue(pos::Compress_Mic + pos::CompressThreshold, static_cast<std::uint8_t>(v));
        session.Store().SetValue(pos::MicGEQ + v % pos::kBands, 20 + v);
        session.Store().SetValue(pos::MusicVol, static_cast<std::uint8_t>(v % 30));
        std::this_thread::sleep_for(1ms);
    }
    std::set<std::size_t> edited{pos::Compress_Mic + pos::CompressThreshold, pos::MusicVol};
    for (std::size_t b = 0; b < pos::kBands; ++b) {
        edited.insert(pos::MicGEQ + b);
    }
    return edited;
}

TEST(LinkThread, EditsDuringASynchronisationAllArriveAndTheFarewellComesLastInEveryScenario) {
    struct Case {
        const char* scenario;
        bool answers;
    };
    for (const Case c :
         {Case{"normal", true}, Case{"slow", true}, Case{"lossy", true}, Case{"silent", false}}) {
        SCOPED_TRACE(c.scenario);
        WindowSession w(c.scenario);
        ASSERT_EQ(w.session->Connect(&w.observer), 1);
        w.session->SynchronizeData(false);
        const std::set<std::size_t> edited = Drag(*w.session);
        ASSERT_TRUE(w.observer.WaitForSyncs(1, 60s));
        ASSERT_TRUE(w.session->WaitUntilSent(60s));

        EXPECT_EQ(w.session->GetDevName(), c.answers ? "VQ317X" : "");
        EXPECT_EQ(w.session->IsAnswering(), c.answers);
        if (c.answers) {
            EXPECT_EQ(w.session->GetRemote().GetRecord(), w.Amp().Ir());
            EXPECT_EQ(w.session->GetMachineSet().GetSavedRecord(), w.Amp().Machine());
        }
        for (std::size_t position = 0; position < kStoreSize; ++position) {
            const RegisterEntry& entry = StoreRegisterMap()[position];
            // The read-all does not ask for the effect presets: the store keeps the one last chosen.
            const bool read = entry.hasRegister && !(entry.block == 3 && entry.index == 0);
            if (!read || (!c.answers && edited.count(position) == 0)) {
                continue;
            }
            EXPECT_EQ(Mismatch(*w.session, w.Amp(), position), "");
        }
        // A last edit still waiting when the window closes goes out before the farewell.
        w.session->Store().SetValue(pos::MicGEQ + 0, 77);
        w.session->Disconnect(true);
        EXPECT_EQ(w.Amp().Register(10, 0, 0), 77);
        const VirtualAmp::Control control = w.Amp().PcControl();
        EXPECT_EQ(control.farewells, 1u);
        EXPECT_EQ(control.lastFarewell, 0x8a);
        EXPECT_FALSE(control.underPcControl);
        EXPECT_EQ(w.observer.Syncs(), std::vector<int>{0});
    }
}

// Unplugged at each stage of the read-all (counted in reports the amplifier took) and plugged in again as
// another model: the first read-all sends nothing more and never reports, the second reports once, and the
// identity is only ever the one the device gave.
TEST(LinkThread, AnUnplugCancelsTheSynchronisationAndTheReplugStartsExactlyOne) {
    for (const std::uint64_t stage :
         {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{25}, std::uint64_t{55}}) {
        SCOPED_TRACE("unplugged after " + std::to_string(stage) + " reports");
        WindowSession w("slow");
        ASSERT_EQ(w.session->Connect(&w.observer), 1);
        w.session->SynchronizeData(false);
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (w.Amp().ReportsReceived() < stage && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        const std::string path = w.session->GetDevPath();
        w.provider->Unplug();
        ASSERT_TRUE(w.session->TryDisconnect(path));
        const std::uint64_t taken = w.Amp().ReportsReceived();
        w.Amp().SetName("VQ580");
        w.provider->Plug();

        ASSERT_EQ(w.session->Connect(&w.observer), 1);
        EXPECT_EQ(w.session->GetDevName(), "") << "the last device's name carried over";
        EXPECT_EQ(w.Amp().ReportsReceived(), taken) << "the cancelled read-all went on sending";
        w.session->SynchronizeData(false);
        ASSERT_TRUE(w.observer.WaitForSyncs(1, 60s));
        ASSERT_TRUE(w.session->WaitUntilSent(60s));
        // A round trip queued after everything the replug set off: a second synchronisation would be told
        // before its reply.
        w.session->Store().ReadInputLevel();
        ASSERT_TRUE(w.session->WaitUntilSent(60s));
        EXPECT_EQ(w.observer.Syncs(), std::vector<int>{0});
        EXPECT_EQ(w.session->GetDevName(), "VQ580");
        w.session->Disconnect(true);
    }
}

}  // namespace
}  // namespace varnoth
