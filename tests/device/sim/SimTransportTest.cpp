// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimTransport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "../Collector.h"
#include "SimTestSupport.h"
#include "device/Opcodes.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::Command;

// A register read whose reply names it: the index comes back in byte 3.
Report Numbered(int n) {
    return Command(op::ReadRegisterArray, {10, n, 8});
}

using Collector = test::ReportInbox;

std::vector<int> Indexes(const std::vector<Report>& reports) {
    std::vector<int> indexes;
    for (const Report& r : reports) {
        indexes.push_back(r[3]);
    }
    return indexes;
}

// Drains what ReadOne has ready now.
std::vector<Report> Ready(SimTransport& link) {
    std::vector<Report> reports;
    while (auto r = link.ReadOne(0ms)) {
        reports.push_back(*r);
    }
    return reports;
}

class SimTransportTest : public ::testing::Test {
  protected:
    std::shared_ptr<VirtualAmp> amp = std::make_shared<VirtualAmp>();
};

TEST_F(SimTransportTest, ReaderDeliversRepliesInOrderUntilStopped) {
    SimTransport link(amp);
    Collector collector;
    link.StartReader(collector.Deliver());
    EXPECT_FALSE(link.ReadOne(0ms).has_value()) << "ReadOne is for links without a reader";
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(link.Transfer(Numbered(n)), 61);
    }
    ASSERT_TRUE(collector.WaitFor(5));
    EXPECT_EQ(Indexes(collector.Items()), (std::vector<int>{0, 1, 2, 3, 4}));

    ASSERT_TRUE(link.StopReader(10s));
    EXPECT_EQ(link.Transfer(Numbered(9)), 61);
    EXPECT_EQ(collector.Items().size(), 5u) << "nothing is delivered after StopReader";
    EXPECT_EQ(Indexes(Ready(link)), std::vector<int>{9}) << "the reply waits for ReadOne instead";

    // A second reader may start after the first has stopped, never beside it.
    Collector second, third;
    link.StartReader(second.Deliver());
    link.StartReader(third.Deliver());
    link.Transfer(Numbered(10));
    ASSERT_TRUE(second.WaitFor(1));
    ASSERT_TRUE(link.StopReader(10s));
    EXPECT_TRUE(third.Items().empty());
}

TEST_F(SimTransportTest, RefusesAReportWithoutTheOutputReportId) {
    SimTransport link(amp);
    Report report = Numbered(1);
    report[0] = 0;
    EXPECT_EQ(link.Transfer(report), 0);
    EXPECT_EQ(amp->ReportsReceived(), 0u);
}

TEST_F(SimTransportTest, LatencyHoldsEachReplyBack) {
    SimFaults faults;
    faults.latency = 1s;
    SimTransport link(amp, faults);
    link.Transfer(Numbered(3));
    EXPECT_FALSE(link.ReadOne(0ms).has_value());
    const auto reply = link.ReadOne(20s);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ((*reply)[3], 3);
}

TEST_F(SimTransportTest, DropsEveryNthReplyOrASeededFraction) {
    SimFaults every;
    every.dropEvery = 3;
    SimTransport link(amp, every);
    for (int n = 1; n <= 9; ++n) {
        link.Transfer(Numbered(n));
    }
    EXPECT_EQ(Indexes(Ready(link)), (std::vector<int>{1, 2, 4, 5, 7, 8}));
    EXPECT_EQ(link.RepliesDropped(), 3u);

    SimFaults fraction;
    fraction.dropFraction = 0.5;
    fraction.dropSeed = 42;
    SimTransport first(amp, fraction), second(amp, fraction);
    for (int n = 0; n < 200; ++n) {
        first.Transfer(Numbered(n % 64));
        second.Transfer(Numbered(n % 64));
    }
    EXPECT_GT(first.RepliesDropped(), 60u);
    EXPECT_LT(first.RepliesDropped(), 140u);
    EXPECT_EQ(Indexes(Ready(first)), Indexes(Ready(second))) << "the same seed drops the same replies";
}

TEST_F(SimTransportTest, SilentLinkDeliversNothingButTheDeviceStillActs) {
    SimFaults faults;
    faults.silent = true;
    SimTransport link(amp, faults);
    EXPECT_EQ(link.Transfer(Command(op::WriteRegister, {10, 32, 0, 70})), 61);
    EXPECT_FALSE(link.ReadOne(50ms).has_value());
    EXPECT_EQ(amp->Register(10, 32, 0), 70);
}

TEST_F(SimTransportTest, VanishesAfterNReportsMidStream) {
    SimFaults faults;
    faults.vanishAfter = 3;
    SimTransport link(amp, faults);
    Collector collector;
    link.StartReader(collector.Deliver());
    EXPECT_EQ(link.Transfer(Numbered(1)), 61);
    EXPECT_EQ(link.Transfer(Numbered(2)), 61);
    ASSERT_TRUE(collector.WaitFor(2));
    EXPECT_EQ(link.Transfer(Numbered(3)), 61) << "the third report still reaches the device";
    EXPECT_TRUE(link.Vanished());
    EXPECT_EQ(link.Transfer(Numbered(4)), 0);
    EXPECT_EQ(amp->ReportsReceived(), 3u);
    ASSERT_TRUE(link.StopReader(10s));
    EXPECT_EQ(Indexes(collector.Items()), (std::vector<int>{1, 2})) << "the third reply is lost with it";
    EXPECT_FALSE(link.ReadOne(0ms).has_value());
}

TEST_F(SimTransportTest, VanishDiscardsRepliesStillOnTheirWay) {
    SimFaults faults;
    faults.latency = 1min;
    SimTransport link(amp, faults);
    Collector collector;
    link.StartReader(collector.Deliver());
    link.Transfer(Numbered(1));
    link.Vanish();
    ASSERT_TRUE(link.StopReader(10s));
    EXPECT_TRUE(collector.Items().empty());
    EXPECT_EQ(link.Transfer(Numbered(2)), 0);
}

TEST_F(SimTransportTest, UnaskedKeyReplyReachesTheReaderAndDestructionStopsIt) {
    Collector collector;
    {
        SimTransport link(amp);
        link.StartReader(collector.Deliver());
        link.Transfer(Command(op::StudyKey, {7}));
        ASSERT_TRUE(collector.WaitFor(1));
        ASSERT_TRUE(amp->PressRemoteKey(0x11, 0x22));
        ASSERT_TRUE(collector.WaitFor(2));
    }
    const std::vector<Report> reports = collector.Items();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0][1], VirtualAmp::kAck);
    EXPECT_EQ(reports[1][1], VirtualAmp::kStudiedKey);
    EXPECT_EQ(reports[1][3], 7);
    EXPECT_FALSE(amp->PressRemoteKey(0x11, 0x22)) << "learning ended with the first key";
}

TEST_F(SimTransportTest, InjectedReportArrivesAsItIs) {
    SimTransport link(amp);
    Report strange{};
    strange[1] = VirtualAmp::kStudiedKey;
    strange[3] = 200;  // a key index no record has
    amp->InjectReport(strange);
    EXPECT_EQ(link.ReadOne(10s), std::optional<Report>(strange));
}

}  // namespace
}  // namespace varnoth
