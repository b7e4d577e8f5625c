// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "../Collector.h"
#include "FakeHidBackend.h"
#include "device/hid/HidTransport.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::FakeHid;
using test::FakeHidBackend;

constexpr auto kDeadline = 10s;

using Inbox = test::ReportInbox;

Bytes Numbered(std::uint8_t opcode, std::uint8_t value) {
    Bytes report(kReportSize, 0);
    report[0] = 2;
    report[1] = opcode;
    report[2] = value;
    return report;
}

Report Command(std::uint8_t opcode, std::uint8_t value) {
    Report report{};
    report[0] = 2;
    report[1] = opcode;
    report[2] = value;
    return report;
}

struct Link {
    explicit Link(HidTiming timing = {}, std::function<void()> onVanished = {}) {
        hid = backend.Add("/dev/hidraw1", kNormalIds);
        auto opened = backend.Open(hid->info);
        transport = std::make_unique<HidTransport>(std::move(opened.device), timing, std::move(onVanished));
    }
    FakeHidBackend backend;
    std::shared_ptr<FakeHid> hid;
    std::unique_ptr<HidTransport> transport;
};

TEST(HidTransport, WritesTheReportAsItStands) {
    Link link;
    const Report report = Command(0x09, 0x7f);

    EXPECT_EQ(link.transport->Transfer(report), static_cast<int>(kReportSize));
    const auto written = link.hid->Written();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], Bytes(report.begin(), report.end()));
}

TEST(HidTransport, DeliversRepliesWithTheOpcodeAtByteOne) {
    struct Case {
        const char* name;
        Bytes raw;
        Report expected;
    };
    Bytes unnumbered(kReportSize - 1, 0);
    unnumbered[0] = 0x80;
    unnumbered[1] = 'V';
    unnumbered[58] = 0x55;
    Report unnumberedExpected{0, 0x80, 'V'};
    unnumberedExpected[59] = 0x55;
    const Case cases[] = {
        {"numbered report, ID at byte 0", Numbered(0x07, 3), Report{2, 0x07, 3}},
        {"unnumbered report, no ID byte", unnumbered, unnumberedExpected},
        {"short report", Bytes{1, 0x92, 4}, Report{1, 0x92, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link link;
        Inbox inbox;
        link.transport->StartReader(inbox.Deliver());
        link.hid->Queue(c.raw);
        ASSERT_TRUE(inbox.WaitFor(1));
        EXPECT_EQ(inbox.Items()[0], c.expected);
        EXPECT_TRUE(link.transport->StopReader(1000ms));
    }
}

TEST(HidTransport, NeverCallsTheHandleFromTwoThreadsAtOnce) {
    for (bool canWake : {true, false}) {
        SCOPED_TRACE(canWake ? "read woken for writes" : "read runs its slice");
        Link link({.readSlice = 2ms, .errorBackoff = 20ms});
        link.hid->canWake = canWake;
        link.hid->responder = [](const Bytes& report) { return Numbered(report[1], report[2]); };
        Inbox inbox;
        link.transport->StartReader(inbox.Deliver());

        constexpr int kPerThread = 50;
        std::vector<std::thread> writers;
        for (int t = 0; t < 2; ++t) {
            writers.emplace_back([&, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    EXPECT_EQ(link.transport->Transfer(Command(0x0b, static_cast<std::uint8_t>(t))),
                              static_cast<int>(kReportSize));
                }
            });
        }
        for (auto& w : writers) {
            w.join();
        }
        ASSERT_TRUE(inbox.WaitFor(2 * kPerThread));
        EXPECT_TRUE(link.transport->StopReader(1000ms));
        link.transport.reset();
        std::lock_guard lock(link.hid->mutex);
        EXPECT_FALSE(link.hid->callsOverlapped);
        EXPECT_FALSE(link.hid->closedDuringCall);
        EXPECT_EQ(link.hid->closes, 1);
    }
}

TEST(HidTransport, TransfersWhileDeliverWaitsForAnotherThread) {
    Link link;
    link.hid->responder = [](const Bytes& report) { return Numbered(report[1], 0); };
    std::atomic<int> sentFromOtherThread{0};
    link.transport->StartReader([&](const Report& report) {
        if (report[1] != 0x60) {
            return;
        }
        // The way a reply handed synchronously to the window thread waits for it, while that
        // thread sends the next command.
        std::thread window([&] { sentFromOtherThread = link.transport->Transfer(Command(0x61, 0)); });
        window.join();
    });

    link.hid->Queue(Numbered(0x60, 5));

    for (auto until = std::chrono::steady_clock::now() + kDeadline;
         sentFromOtherThread == 0 && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(sentFromOtherThread, static_cast<int>(kReportSize));
    EXPECT_TRUE(link.transport->StopReader(1000ms));
}

TEST(HidTransport, ReaderEndsWhenTheDeviceDisappearsMidRead) {
    std::atomic<int> vanishedCalls{0};
    for (bool canWake : {true, false}) {
        SCOPED_TRACE(canWake ? "wakeable read" : "read runs its slice");
        vanishedCalls = 0;
        Link link({.readSlice = 50ms, .errorBackoff = 20ms}, [&] { ++vanishedCalls; });
        link.hid->canWake = canWake;
        Inbox inbox;
        link.transport->StartReader(inbox.Deliver());
        // Wait until the reader is inside a read, then pull the device.
        for (auto until = std::chrono::steady_clock::now() + kDeadline;
             std::chrono::steady_clock::now() < until;) {
            std::lock_guard lock(link.hid->mutex);
            if (link.hid->callsInFlight > 0) {
                break;
            }
        }
        link.backend.Remove("/dev/hidraw1");

        EXPECT_TRUE(link.transport->StopReader(1000ms));
        EXPECT_TRUE(link.transport->Vanished());
        EXPECT_EQ(vanishedCalls, 1);
        EXPECT_EQ(link.transport->Transfer(Command(0x09, 1)), 0);
        EXPECT_FALSE(link.transport->ReadOne(1000ms).has_value());
        link.transport.reset();
        std::lock_guard lock(link.hid->mutex);
        EXPECT_FALSE(link.hid->closedDuringCall);
    }
}

// After a failed read the reader pauses before the next (a pause longer than the test here), and a stop ends
// the pause.
TEST(HidTransport, BacksOffWhileReadsKeepFailing) {
    Link link({.readSlice = 5ms, .errorBackoff = std::chrono::hours(1)});
    link.hid->failReads = true;
    Inbox inbox;
    link.transport->StartReader(inbox.Deliver());
    const auto failed = [&] {
        std::lock_guard lock(link.hid->mutex);
        return link.hid->failedReads;
    };
    for (auto until = std::chrono::steady_clock::now() + kDeadline;
         failed() == 0 && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(link.transport->StopReader(1000ms)) << "a stop does not end the pause";

    std::lock_guard lock(link.hid->mutex);
    // A loop that retried at once would have failed again and again while the test stopped it.
    EXPECT_EQ(link.hid->failedReads, 1);
    EXPECT_FALSE(link.transport->Vanished()) << "a device still present has not been removed";
}

TEST(HidTransport, ReadOneTakesOneReportOnlyWhileNoReaderRuns) {
    Link link;
    EXPECT_FALSE(link.transport->ReadOne(20ms).has_value());

    link.hid->Queue(Numbered(0x81, 7));
    const auto report = link.transport->ReadOne(5000ms);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ((*report)[1], 0x81);

    Inbox inbox;
    link.transport->StartReader(inbox.Deliver());
    EXPECT_FALSE(link.transport->ReadOne(20ms).has_value());
    link.hid->Queue(Numbered(0x80, 1));
    ASSERT_TRUE(inbox.WaitFor(1));
    EXPECT_TRUE(link.transport->StopReader(1000ms));

    link.hid->Queue(Numbered(0x07, 2));
    EXPECT_EQ((*link.transport->ReadOne(5000ms))[1], 0x07) << "the reader can be stopped and reads go on";
}

TEST(HidTransport, DestroyingStopsTheReaderBeforeClosing) {
    Link link;
    Inbox inbox;
    link.transport->StartReader(inbox.Deliver());
    link.transport.reset();
    std::lock_guard lock(link.hid->mutex);
    EXPECT_EQ(link.hid->closes, 1);
    EXPECT_FALSE(link.hid->closedDuringCall);
}

}  // namespace
}  // namespace varnoth
