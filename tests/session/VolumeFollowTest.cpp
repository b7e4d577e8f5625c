// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/VolumeFollow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

#include "SessionHarness.h"
#include "device/Opcodes.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::MakeReport;
using test::SessionHarness;

TEST(VolumeFollow, EachConditionHoldsFollowingAndTheFirstOneNamesTheReason) {
    struct Case {
        FollowConditions conditions;
        FollowHold hold;
    };
    const Case cases[] = {
        {{true, false, false, true, false}, FollowHold::None},
        {{false, false, false, true, false}, FollowHold::NotConnected},
        {{true, true, false, true, false}, FollowHold::Synchronising},
        {{true, false, true, true, false}, FollowHold::Transferring},
        {{true, false, false, false, false}, FollowHold::NotAnswering},
        {{true, false, false, true, true}, FollowHold::Dragging},
        {{false, true, true, false, true}, FollowHold::NotConnected},
    };
    const VolumeFollow follow(1000ms);
    const auto now = VolumeFollow::Clock::now();
    for (const Case& c : cases) {
        EXPECT_EQ(VolumeFollow::Hold(c.conditions), c.hold) << static_cast<int>(c.hold);
        EXPECT_EQ(follow.Due(now, c.conditions), c.hold == FollowHold::None) << static_cast<int>(c.hold);
    }
}

// Polls come on a timer of their own: one a little early still counts as on time, so a 300 ms timer reads
// the volumes every third tick of a 900 ms interval.
TEST(VolumeFollow, ReadsAgainAboutOnceAnInterval) {
    const FollowConditions idle{true, false, false, true, false};
    VolumeFollow follow(900ms);
    const auto start = VolumeFollow::Clock::now();
    std::vector<int> reads;
    for (int tick = 0; tick <= 12; ++tick) {
        // Timer ticks wobble by a few milliseconds.
        const auto now = start + tick * 300ms - (tick % 2 == 0 ? 3ms : 0ms);
        if (follow.Due(now, idle)) {
            follow.Sent(now);
            reads.push_back(tick);
        }
    }
    EXPECT_EQ(reads, (std::vector<int>{0, 3, 6, 9, 12}));
}

class VolumeObserver : public SessionObserver {
  public:
    void OnVolumesFollowed() override { ++told; }
    std::atomic<int> told{0};
};

bool IsVolumeRead(const Report& r) {
    return r[1] == op::ReadRegisterArray && r[2] == 10 && r[3] == 32;
}

// The session on an amplifier whose mic volume someone turned to 25; the panel had set 10 before. What
// holds following, and what an edit of the same volume does to a read on its way, as a table.
TEST(VolumeFollow, PausesAndEditsOfTheSameVolumeKeepTheReadFromTheStore) {
    struct Case {
        const char* what;
        std::function<void(SessionHarness&)> before;  // sets the pause up
        bool dragging;
        std::function<void(SessionHarness&)> during;  // while the poll is on its way
        bool volumesRead;
        int micVol;  // in the store afterwards
        std::size_t writes;
        bool synchronised = true;  // a synchronisation has finished before
    };
    const auto nothing = [](SessionHarness&) {};
    const Case cases[] = {
        {"idle", nothing, false, nothing, true, 25, 0},
        {"the user holds a slider", nothing, true, nothing, false, 10, 0},
        {"no synchronisation has finished yet", nothing, false, nothing, false, 10, 0, false},
        {"the amplifier does not answer",
         [](SessionHarness& h) {
             h.wire->SetSilent();
             for (int missed = 0; missed < kMissedRepliesForSilence; ++missed) {
                 h.session->Store().ReadInputLevel();
                 ASSERT_TRUE(h.session->WaitUntilSent(10s));
             }
             ASSERT_FALSE(h.session->IsAnswering());
             h.wire->SetResponder([](const Report& sent) {
                 return std::vector<Report>{
                     MakeReport({0, sent[1], sent[2], sent[3], 65, 65, 40, 40, 40, 40})};
             });
             h.wire->ClearSent();
         },
         false, nothing, false, 10, 0},
        {"an edit of the mic volume is on its way: the poll is skipped",
         [](SessionHarness& h) {
             h.wire->HoldTransfers(true);
             h.session->Store().SetValue(pos::MicVol, 20);
             ASSERT_TRUE(h.wire->WaitForHeldTransfer());
         },
         false, [](SessionHarness& h) { h.wire->HoldTransfers(false); }, false, 20, 2},
        {"the user edits the mic volume while the read is on its way",
         [](SessionHarness& h) { h.wire->HoldTransfers(true); }, false,
         [](SessionHarness& h) {
             ASSERT_TRUE(h.wire->WaitForHeldTransfer());
             h.session->Store().SetValue(pos::MicVol, 20);
             h.wire->HoldTransfers(false);
         },
         true, 20, 2},
        {"the read's reply comes only after the user's edit of the mic volume went out",
         [](SessionHarness& h) {
             h.wire->SetResponder([](const Report& sent) {
                 return IsVolumeRead(sent) ? std::vector<Report>{}
                                           : std::vector<Report>{MakeReport({0, sent[1], sent[2], sent[3]})};
             });
         },
         false,
         [](SessionHarness& h) {
             ASSERT_TRUE(h.session->WaitUntilSent(10s));
             h.session->Store().SetValue(pos::MicVol, 20);
             ASSERT_TRUE(h.session->WaitUntilSent(10s));
             h.wire->Inject(MakeReport({0, op::ReadRegisterArray, 10, 32, 65, 65, 40, 40, 40, 40}));
         },
         true, 20, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkTiming timing = test::FastTiming();
        timing.replyWait = 30ms;
        SessionHarness h(timing);
        // Every register of the volumes' read: mic 25, the other outputs 0.
        h.wire->SetResponder([](const Report& sent) {
            return std::vector<Report>{MakeReport({0, sent[1], sent[2], sent[3], 65, 65, 40, 40, 40, 40})};
        });
        ASSERT_TRUE(h.Connect());
        VolumeObserver observer;
        h.session->SetObserver(&observer);
        h.session->SetWaitForTransfers(false);
        if (c.synchronised) {
            h.session->SynchronizeData(false);
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (!h.session->IsSynchronised() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(1ms);
            }
            ASSERT_TRUE(h.session->IsSynchronised());
        }
        h.session->Store().SetValue(pos::MicVol, 10);
        ASSERT_TRUE(h.session->WaitUntilSent(10s));
        h.wire->ClearSent();

        c.before(h);
        h.session->PollDevice(c.dragging);
        c.during(h);
        ASSERT_TRUE(h.session->WaitUntilSent(10s));
        ASSERT_TRUE(h.wire->WaitUntilIdle());

        const std::vector<Report> sent = h.wire->Sent();
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(), IsVolumeRead), c.volumesRead ? 1 : 0);
        EXPECT_EQ(h.session->Store().Value(pos::MicVol), c.micVol);
        EXPECT_EQ(h.Writes().size(), c.writes) << "following writes nothing back";
        EXPECT_EQ(observer.told.load() > 0, c.micVol == 25) << "the owner hears of a changed volume";
        h.session->SetObserver(nullptr);
    }
}

}  // namespace
}  // namespace varnoth
