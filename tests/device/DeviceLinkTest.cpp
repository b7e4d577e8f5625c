// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FakeTransport.h"
#include "TraceCapture.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::FakeTransport;
using test::FakeWire;
using test::MakeReport;
using test::TraceCapture;

// Records every routed reply as one line.
class RecordingSink : public ReplySink {
  public:
    std::vector<std::string> Lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

    void OnCurEffectMode(std::uint8_t mode) override { Add("mode " + std::to_string(mode)); }
    void OnLevels(const wire::LevelsReply&) override { Register(op::ReadRegister, wire::kLevelRegister); }
    void OnRegisterArray(const wire::RegisterArrayReply& r) override {
        Register(op::ReadRegisterArray, r.at);
    }
    void OnMicControlSub(std::uint8_t time, std::uint8_t rate) override {
        Add("micsub " + std::to_string(time) + " " + std::to_string(rate));
    }
    void OnKeyStudied(std::uint8_t sys, std::uint8_t index, std::uint8_t code) override {
        Add("key " + std::to_string(sys) + " " + std::to_string(index) + " " + std::to_string(code));
    }
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> r) override {
        Add("ir " + std::to_string(r[0]) + ".." + std::to_string(r[15]));
    }
    void OnDevName(const std::string& name) override { Add("name [" + name + "]"); }
    void OnDevDate(const std::string& date) override { Add("date [" + date + "]"); }
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> r) override {
        Add("machine " + std::to_string(r[0]) + ".." + std::to_string(r[10]));
    }

  private:
    void Register(int opcode, wire::RegisterAddress at) {
        Add("register " + std::to_string(opcode) + " " + std::to_string(at.block) + " " +
            std::to_string(at.index));
    }
    void Add(std::string line) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(std::move(line));
    }
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// Records what the link tells of the reports it carries, one line each.
class RecordingEvents : public LinkEvents {
  public:
    std::vector<std::string> Lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

    void OnLinkStarted() override { Add("started", {}); }
    void OnQueued(const Report& r) override { Add("queued", r); }
    void OnUnqueued(const Report& r) override { Add("unqueued", r); }
    void OnSent(const Report& r) override { Add("sent", r); }

  private:
    void Add(const std::string& what, const Report& r) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(what + " " + std::to_string(r[1]) + " " + std::to_string(r[2]) + " " +
                          std::to_string(r[3]) + " " + std::to_string(r[4]));
    }
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

std::vector<int> Opcodes(const std::vector<Report>& reports) {
    std::vector<int> opcodes;
    for (const Report& r : reports) {
        opcodes.push_back(r[1]);
    }
    return opcodes;
}

LinkTiming ShortTiming() {
    LinkTiming timing;
    timing.replyWait = 20ms;
    return timing;
}

class DeviceLinkTest : public ::testing::Test {
  protected:
    void Connect(LinkTiming timing = LinkTiming{}) {
        link.SetTiming(timing);
        link.Attach(std::make_unique<FakeTransport>(wire));
        link.SetConnected(true);
        link.StartReader();
    }

    std::shared_ptr<FakeWire> wire = std::make_shared<FakeWire>();
    RecordingSink sink;
    RecordingEvents events;
    DeviceLink link{sink, LinkTiming{}, &events};
};

TEST(BuildCommand, PlacesReportIdOpcodeAndLowBytesUntilMinusOneOrByte60) {
    struct Case {
        const char* what;
        Report built;
        Report expected;
    };
    std::vector<int> many(65);
    for (int i = 0; i < 65; ++i) {
        many[static_cast<std::size_t>(i)] = i + 1;
    }
    Report firstFiftyNine = MakeReport({2, 9});
    for (std::size_t i = 0; i < 59; ++i) {
        firstFiftyNine[2 + i] = static_cast<std::uint8_t>(i + 1);
    }
    const Case cases[] = {
        {"no arguments", DeviceLink::BuildCommand(0x61, {}), MakeReport({2, 0x61})},
        {"255 is a value, not the end", DeviceLink::BuildCommand(9, {10, 32, 0, 255}),
         MakeReport({2, 9, 10, 32, 0, 0xFF})},
        {"-1 ends the list", DeviceLink::BuildCommand(9, {1, -1, 3}), MakeReport({2, 9, 1})},
        {"only the low byte is placed", DeviceLink::BuildCommand(0x1FF, {0x1AB, -2}),
         MakeReport({2, 0xFF, 0xAB, 0xFE})},
        {"at most 59 argument bytes",
         DeviceLink::BuildCommand(
             9, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65}),
         firstFiftyNine},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.built, c.expected) << c.what;
    }
}

TEST_F(DeviceLinkTest, NothingIsSentWhileDisconnected) {
    link.Attach(std::make_unique<FakeTransport>(wire));
    EXPECT_EQ(link.SendCommand(0x8a), 0);
    EXPECT_TRUE(wire->Sent().empty());
}

TEST_F(DeviceLinkTest, EveryReportIsTracedAndAShortTransferIsReported) {
    TraceCapture trace;
    Connect(ShortTiming());
    EXPECT_EQ(link.SendCommand(9, {10, 32, 0, 255}), 61);
    wire->SetTransferResult(0);
    EXPECT_EQ(link.SendCommand(0x61), 0);
    const std::vector<std::string> expected{">Write: 2 9 10 32 0 255 0 0 0 0 \n",
                                            ">Write: 2 97 0 0 0 0 0 0 0 0 \n", "usb数据写入失败"};
    EXPECT_EQ(trace.Lines(), expected);
    ASSERT_EQ(wire->Sent().size(), 2u);
    EXPECT_EQ(wire->Sent()[0], MakeReport({2, 9, 10, 32, 0, 255}));
}

TEST_F(DeviceLinkTest, EachReplyIsRoutedByItsOpcodeAndOverlongTextsAreCut) {
    Connect();
    Report longName = MakeReport({0, 0x80});
    for (std::size_t i = 2; i < kReportSize; ++i) {
        longName[i] = 'A';
    }
    const std::vector<Report> replies{
        MakeReport({0, 0x07, 2}),
        MakeReport({0, 0x0a, 8, 0x30}),
        MakeReport({0, 0x0b, 10, 3}),
        MakeReport({0, 0x11, 0, 10, 20}),
        MakeReport({0, 0x60, 0x20, 2, 0x1C}),
        MakeReport({0, 0x62, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 99}),
        MakeReport({0, 0x80, 'V', 'Q', '3', '1', '7', 'X', 0, 'Z'}),
        longName,
        MakeReport({0, 0x80, 0, 'Q'}),
        MakeReport({0, 0x80, 'V', 0xE9}),
        MakeReport({0, 0x81, '2', '0', '1', '1', '-', '1', '1', '-', '2', '8', '9', '9'}),
        MakeReport({0, 0x92, 1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34, 77}),
        MakeReport({0x80, 0x55, 0x07}),
    };
    for (const Report& reply : replies) {
        wire->Inject(reply);
    }
    ASSERT_TRUE(wire->WaitUntilIdle());
    const std::vector<std::string> expected{
        "mode 2",
        "register 10 8 48",
        "register 11 10 3",
        "micsub 10 20",
        "key 32 2 28",
        "ir 1..16",
        "name [VQ317X]",
        "name [" + std::string(kDevNameChars, 'A') + "]",
        "name []",
        "name [V\u00e9]",
        "date [2011-11-28]",
        "machine 1..52",
    };
    EXPECT_EQ(sink.Lines(), expected);
}

// The next command goes out only once a reply has released it; replyWait is far beyond the test's deadline.
TEST_F(DeviceLinkTest, EveryReplyButAStudiedKeyReleasesTheNextCommand) {
    LinkTiming timing;
    timing.replyWait = std::chrono::hours(1);
    wire->SetSilent();
    Connect(timing);
    ASSERT_EQ(link.SendCommand(0x62), 61);  // the first command goes out at once

    wire->Inject(MakeReport({0, 0x60, 1, 1, 1}));
    ASSERT_TRUE(wire->WaitUntilIdle());
    auto waiting = std::async(std::launch::async, [&] { return link.SendCommand(0x61); });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout)
        << "a studied key released the next command";

    wire->Inject(MakeReport({0, 0x55}));  // any other reply, even an unknown one, releases it
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiting.get(), 61);
}

TEST_F(DeviceLinkTest, DisconnectingReleasesAWriterWaitingForAReplyWithoutSending) {
    LinkTiming timing;
    timing.replyWait = std::chrono::hours(1);
    wire->SetSilent();
    Connect(timing);
    ASSERT_EQ(link.SendCommand(0x62), 61);
    auto waiting = std::async(std::launch::async, [&] { return link.SendCommand(0x61); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);

    link.SetConnected(false);
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiting.get(), 0);
    EXPECT_EQ(wire->Sent().size(), 1u);
}

TEST_F(DeviceLinkTest, ASilentDeviceDelaysEachCommandButLosesNone) {
    wire->SetSilent();
    Connect(ShortTiming());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(link.SendCommand(0x0b, {8, 4 + i, 8}), 61);
    }
    EXPECT_EQ(wire->Sent().size(), 3u);
}

TEST_F(DeviceLinkTest, ReportsFromTwoThreadsNeverInterleave) {
    Connect();
    constexpr int kPerThread = 300;
    auto sender = [&](int opcode) {
        for (int i = 0; i < kPerThread; ++i) {
            link.SendCommand(opcode, {i & 0xFF, i >> 8, opcode, opcode, opcode});
        }
    };
    std::thread a(sender, 0x21);
    std::thread b(sender, 0x22);
    a.join();
    b.join();

    EXPECT_EQ(wire->Overlaps(), 0);
    const std::vector<Report> sent = wire->Sent();
    ASSERT_EQ(sent.size(), 2u * kPerThread);
    int next[2] = {0, 0};
    for (const Report& r : sent) {
        ASSERT_TRUE(r[1] == 0x21 || r[1] == 0x22);
        ASSERT_EQ(r[4], r[1]);
        ASSERT_EQ(r[6], r[1]);
        int& expected = next[r[1] - 0x21];
        EXPECT_EQ(r[2] | (r[3] << 8), expected) << "reports of one thread out of order";
        ++expected;
    }
}

TEST_F(DeviceLinkTest, ACommandWaitingBehindALongTransferIsSentWhenItEnds) {
    Connect(ShortTiming());
    wire->HoldTransfers(true);
    auto holder = std::async(std::launch::async, [&] { return link.SendCommand(0x21); });
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    auto waiting = std::async(std::launch::async, [&] { return link.SendCommand(0x22); });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
    wire->HoldTransfers(false);
    EXPECT_EQ(holder.get(), 61);
    EXPECT_EQ(waiting.get(), 61) << "a command that waited long for its turn was dropped";
    EXPECT_EQ(wire->Overlaps(), 0);
    EXPECT_EQ(Opcodes(wire->Sent()), (std::vector<int>{0x21, 0x22}));
}

Report Write(int block, int index, int channel, int value) {
    return DeviceLink::BuildCommand(0x09, {block, index, channel, value});
}

// The window's way: submissions return at once while the link thread is held in a transfer.
TEST_F(DeviceLinkTest, WaitingEditsCollapseIntoTheNewestValueAndEverythingElseKeepsItsPlace) {
    Connect(ShortTiming());
    link.SetCallersWait(false);
    wire->HoldTransfers(true);
    ASSERT_EQ(link.SendCommand(0x05, {1}), 61);  // LoadMode, held in its transfer
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    EXPECT_EQ(link.Poll(MakeReport({2, 0x0a, 8, 0x30})), 0) << "a poll while something waits is skipped";
    const auto pair = [](int value) {
        return std::vector<Report>{Write(5, 3, 0, value), Write(5, 3, 1, value)};
    };
    for (int value = 1; value <= 20; ++value) {  // a drag of a stereo parameter
        EXPECT_EQ(link.WriteRegisters(pair(value)), 61);
    }
    const Report gain[] = {Write(8, 4, 2, 7)};
    link.WriteRegisters(gain);
    link.WriteRegisters(pair(21));  // merges across the other register's write
    link.SendCommand(0x62);         // a read is a barrier: the next edit does not jump over it
    link.WriteRegisters(pair(22));
    link.WriteRegisters(pair(23));
    link.SendCommand(0x62);  // reads are never merged
    wire->HoldTransfers(false);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    const std::vector<Report> expected{MakeReport({2, 0x05, 1}), Write(5, 3, 0, 21),    Write(5, 3, 1, 21),
                                       Write(8, 4, 2, 7),        MakeReport({2, 0x62}), Write(5, 3, 0, 23),
                                       Write(5, 3, 1, 23),       MakeReport({2, 0x62})};
    EXPECT_EQ(wire->Sent(), expected);
    EXPECT_EQ(link.Poll(MakeReport({2, 0x0a, 8, 0x30})), 61) << "an idle link takes a poll";
}

// The link tells its events what waits (from queued until its submission has been sent) and what went out,
// in order: a stereo pair waits whole while its first write is sent; a merged edit is not told twice. The
// reports of one poll go out in their order.
TEST_F(DeviceLinkTest, TheLinkTellsWhatWaitsAndWhatWentOutAndAPollSendsItsReportsInOrder) {
    Connect(ShortTiming());
    link.SetCallersWait(false);
    wire->HoldTransfers(true);
    const Report mic[] = {Write(10, 32, 0, 60), Write(10, 32, 1, 60)};
    ASSERT_EQ(link.WriteRegisters(mic), 61);
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    const Report gain[] = {Write(8, 4, 2, 7)};
    link.WriteRegisters(gain);
    const Report gainAgain[] = {Write(8, 4, 2, 8)};
    link.WriteRegisters(gainAgain);
    const std::vector<std::string> whileSending{"started 0 0 0 0", "queued 9 10 32 0", "queued 9 10 32 1",
                                                "sent 9 10 32 0", "queued 9 8 4 2"};
    EXPECT_EQ(events.Lines(), whileSending);
    wire->HoldTransfers(false);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    const std::vector<std::string> sent{
        "started 0 0 0 0", "queued 9 10 32 0",   "queued 9 10 32 1",   "sent 9 10 32 0", "queued 9 8 4 2",
        "sent 9 10 32 1",  "unqueued 9 10 32 0", "unqueued 9 10 32 1", "sent 9 8 4 2",   "unqueued 9 8 4 2"};
    EXPECT_EQ(events.Lines(), sent);

    wire->ClearSent();
    events.Clear();
    const std::vector<Report> poll{MakeReport({2, 0x0a, 8, 0x30}), MakeReport({2, 0x0b, 10, 32, 8})};
    EXPECT_EQ(link.Poll(poll), 61);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    EXPECT_EQ(wire->Sent(), poll);
    const std::vector<std::string> polled{"queued 10 8 48 0", "queued 11 10 32 8",  "sent 10 8 48 0",
                                          "sent 11 10 32 8",  "unqueued 10 8 48 0", "unqueued 11 10 32 8"};
    EXPECT_EQ(events.Lines(), polled);
}

// A sequence without a delay keeps its place in the queue: an edit submitted after it neither goes out
// before it nor merges into an edit waiting before it.
TEST_F(DeviceLinkTest, ASequenceWithoutDelayKeepsItsPlaceInTheQueue) {
    Connect(ShortTiming());
    link.SetCallersWait(false);
    wire->HoldTransfers(true);
    ASSERT_EQ(link.SendCommand(0x62), 61);
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    const Report first[] = {Write(8, 4, 0, 1)};
    const Report second[] = {Write(8, 4, 0, 2)};
    link.WriteRegisters(first);
    ASSERT_TRUE(link.RunSequence([this] { link.SendCommand(0x04, {1}); }));
    link.WriteRegisters(second);
    wire->HoldTransfers(false);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    const std::vector<Report> expected{MakeReport({2, 0x62}), Write(8, 4, 0, 1), MakeReport({2, 0x04, 1}),
                                       Write(8, 4, 0, 2)};
    EXPECT_EQ(wire->Sent(), expected);
}

TEST_F(DeviceLinkTest, ThreeMissingRepliesInARowMeanNotAnsweringUntilTheNextReply) {
    std::mutex mutex;
    std::vector<bool> changes;
    link.SetAnsweringHandler([&](bool answering) {
        std::lock_guard lock(mutex);
        changes.push_back(answering);
    });
    wire->SetSilent();
    Connect(ShortTiming());
    for (int i = 0; i < 5; ++i) {
        link.SendCommand(0x0b, {8, 4, 8});
    }
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    wire->SetResponder([](const Report& sent) { return std::vector<Report>{MakeReport({0, sent[1]})}; });
    link.SendCommand(0x0b, {8, 4, 8});
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    std::lock_guard lock(mutex);
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(DeviceLinkTest, FinishingSendsTheQueueThenTheFarewellWithinItsBound) {
    LinkTiming timing;
    timing.replyWait = 300ms;
    timing.farewellDrain = 700ms;
    wire->SetSilent();
    Connect(timing);
    link.SetCallersWait(false);
    for (int i = 0; i < 10; ++i) {
        link.SendCommand(0x0b, {8, i, 8});  // 3 s of a silent device's queue
    }
    const auto start = std::chrono::steady_clock::now();
    link.Finish(MakeReport({2, 0x8a}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    const std::vector<int> opcodes = Opcodes(wire->Sent());
    ASSERT_GE(opcodes.size(), 2u);
    EXPECT_LT(opcodes.size(), 11u) << "the queue beyond the bound still went out";
    EXPECT_EQ(opcodes.back(), 0x8a);
    EXPECT_EQ(std::count(opcodes.begin(), opcodes.end(), 0x8a), 1);
}

TEST_F(DeviceLinkTest, AnUnplugDiscardsWhatTheConnectionQueuedAndItsSequences) {
    LinkTiming timing;
    timing.replyWait = 1h;
    wire->SetSilent();
    Connect(timing);
    link.SetCallersWait(false);
    link.SendCommand(0x62);  // waits for a reply that never comes
    ASSERT_TRUE(wire->WaitForSent(1));
    link.SendCommand(0x80);
    std::atomic<bool> ran{false};
    ASSERT_TRUE(link.RunSequence([&] { ran = true; }, 10ms));
    link.SetConnected(false);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(Opcodes(wire->Sent()), std::vector<int>{0x62});
    EXPECT_FALSE(link.RunSequence([] {}));
}

TEST_F(DeviceLinkTest, OneShotReadDispatchesOnlyWhileNoReaderRuns) {
    link.Attach(std::make_unique<FakeTransport>(wire));
    link.SetConnected(true);
    wire->Inject(MakeReport({0, 0x07, 3}));
    EXPECT_EQ(link.ReadOne(1s), 1);
    EXPECT_EQ(link.ReadOne(10ms), 0);  // nothing left to read

    link.StartReader();
    EXPECT_EQ(link.ReadOne(10ms), 0);
    EXPECT_EQ(sink.Lines(), std::vector<std::string>{"mode 3"});
}

}  // namespace
}  // namespace varnoth
