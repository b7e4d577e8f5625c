// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "SessionHarness.h"
#include "device/Opcodes.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimTransport.h"
#include "session/CarriedFirmware.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

class UpgradeObserver : public SessionObserver {
  public:
    void OnUpgradeDone() override {
        {
            std::lock_guard lock(m_mutex);
            ++m_done;
        }
        m_cv.notify_all();
    }
    bool WaitForDone(int count = 1) {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, 30s, [&] { return m_done >= count; });
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_done = 0;
};

LinkTiming QuickStart() {
    LinkTiming timing;
    timing.upgradeStartDelay = 1ms;
    return timing;
}

// The image as the flash holds it below 0xE400: bytes 1 and 2 replaced on the way.
Bytes Patched(Bytes image) {
    image[1] = 0xF1;
    image[2] = 0x88;
    return image;
}

class SimUpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        provider->Unplug();
        provider->Amp()->SetUpgradeMode(true);
        provider->Plug();
        ASSERT_EQ(session.Connect(&observer), 1);
        ASSERT_EQ(session.InUpgradeMode(), 1);
        ASSERT_EQ(session.IsSimulated(), 1);
    }

    std::shared_ptr<SimProvider> provider = std::make_shared<SimProvider>();
    UpgradeObserver observer;
    DeviceSession session{provider, QuickStart()};
};

TEST_F(SimUpgradeTest, TheVirtualAmplifierIsFlashedWithTheTestImageAndItsHeadRestoredAt0xE400) {
    ASSERT_TRUE(session.TryUpgrade());
    EXPECT_FALSE(session.TryUpgrade()) << "a second transfer does not start while one is under way";
    ASSERT_TRUE(observer.WaitForDone());
    EXPECT_FALSE(session.IsUpgrading());
    const UpgradeResult result = session.LastUpgradeResult();
    EXPECT_TRUE(result.sent) << result.message;
    // Level polling resumes right after the notification.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!session.IsSynchronised() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(session.IsSynchronised()) << "level polling resumes after the transfer";

    const std::span<const std::uint8_t> test = TestFirmwareImage();
    const Bytes image(test.begin(), test.end());
    ASSERT_GE(image.size(), 100u);
    const UpgradeFlash flash = provider->Amp()->Flash();
    EXPECT_EQ(flash.Image(0xE400), Patched(image));
    EXPECT_EQ(Bytes(flash.Bytes().begin() + 0xE400, flash.Bytes().begin() + 0xE403),
              Bytes(image.begin(), image.begin() + 3));
    EXPECT_EQ(flash.RejectedChunks(), 0u);
    EXPECT_EQ(flash.UnannouncedWrites(), 0u);
    EXPECT_EQ(session.GetUpProgress(), 100);
}

// The test image (6000 bytes) goes out as 12 page announcements, 108 chunks and the closing pair: 122
// reports.
TEST(SimUpgradeFaults, ATransferThatFailsStopsThereNeverClosesAndSaysWhere) {
    struct Case {
        const char* what;
        bool upgradeMode;
        SimFaults faults;
        std::size_t received;  // reports the amplifier took
        UpgradeFault fault;
        const char* says;
    };
    const auto dropReply = [](unsigned n) {
        SimFaults f;
        f.dropEvery = n;
        return f;
    };
    SimFaults silent;
    silent.silent = true;
    SimFaults vanishing;
    vanishing.vanishAfter = 40;
    const Case cases[] = {
        {"normal mode", false, {}, 0, UpgradeFault::NotUpgradeMode, "not in upgrade mode"},
        {"first page unanswered", true, dropReply(1), 1, UpgradeFault::NoReply,
         "page 1 of 12 (0% acknowledged)"},
        {"a middle chunk unanswered", true, dropReply(66), 66, UpgradeFault::NoReply,
         "page 6 of 12 (49% acknowledged)"},
        {"the last page's chunk unanswered", true, dropReply(120), 120, UpgradeFault::NoReply,
         "page 12 of 12 (99% acknowledged)"},
        {"closing announcement unanswered", true, dropReply(121), 121, UpgradeFault::NotClosed,
         "did not confirm the end"},
        {"silent amplifier", true, silent, 1, UpgradeFault::NoReply, "did not acknowledge"},
        {"amplifier vanishing", true, vanishing, 40, UpgradeFault::NoReply,
         "page 3 of 12 (25% acknowledged)"},
    };
    LinkTiming timing = QuickStart();
    timing.replyWait = 100ms;
    for (const Case& c : cases) {
        auto provider = std::make_shared<SimProvider>();
        provider->Unplug();
        provider->Amp()->SetUpgradeMode(c.upgradeMode);
        provider->Plug();
        provider->SetFaults(c.faults);
        UpgradeObserver observer;
        DeviceSession session{provider, timing};
        ASSERT_EQ(session.Connect(&observer), 1) << c.what;
        ASSERT_TRUE(session.TryUpgrade()) << c.what;
        ASSERT_TRUE(observer.WaitForDone()) << c.what;
        const UpgradeResult result = session.LastUpgradeResult();
        EXPECT_FALSE(result.sent) << c.what;
        EXPECT_EQ(result.fault, c.fault) << c.what << ": " << result.message;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << c.what << ": " << result.message;
        const UpgradeFlash flash = provider->Amp()->Flash();
        EXPECT_EQ(flash.Announcements().size() + flash.Chunks().size(), c.received) << c.what;
        EXPECT_FALSE(flash.Written(0xE400))
            << c.what << ": the amplifier is never told to run a partial image";
        session.Disconnect(true);
    }
}

TEST_F(SimUpgradeTest, AnUnplugMidTransferEndsItAtOnceAndTheOwnerLearnsWhy) {
    session.Disconnect(false);
    SimFaults slow;
    slow.latency = 2ms;
    provider->SetFaults(slow);
    ASSERT_EQ(session.Connect(&observer), 1);
    ASSERT_TRUE(session.TryUpgrade());
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (session.GetUpProgress() < 10 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    provider->Unplug();
    EXPECT_TRUE(session.TryDisconnect(provider->Path()));
    ASSERT_TRUE(observer.WaitForDone());
    EXPECT_FALSE(session.IsUpgrading());
    const UpgradeResult result = session.LastUpgradeResult();
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.fault, UpgradeFault::Unplugged) << result.message;
    EXPECT_GE(result.percent, 10) << "the point reached is told";
    EXPECT_NE(result.message.find("went away"), std::string::npos) << result.message;
    EXPECT_FALSE(provider->Amp()->Flash().Written(0xE400));
    EXPECT_LT(session.GetUpProgress(), 100);
}

TEST_F(SimUpgradeTest, ClosingWithTheFarewellWaitsForTheTransferToEnd) {
    ASSERT_TRUE(session.TryUpgrade());
    session.Disconnect(true);
    EXPECT_FALSE(session.IsUpgrading());
    EXPECT_TRUE(session.LastUpgradeResult().sent) << session.LastUpgradeResult().message;
    EXPECT_TRUE(provider->Amp()->Flash().Written(0xE400)) << "the transfer was not cut short";
    EXPECT_EQ(provider->Amp()->PcControl().lastFarewell, op::UpgradeExit) << "the farewell came after it";
}

TEST_F(SimUpgradeTest, AFullSizeImageFileFillsTheWholeFlash) {
    Bytes image(0x10000);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
    }
    const fs::path path = fs::temp_directory_path() / "varnoth-session-upgrade-64k.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    EXPECT_TRUE(session.DoManualUpgrade(path.string())) << session.LastUpgradeResult().message;
    fs::remove(path);

    Bytes expected = Patched(image);
    std::copy(image.begin(), image.begin() + 3, expected.begin() + 0xE400);
    const UpgradeFlash flash = provider->Amp()->Flash();
    EXPECT_EQ(flash.Image(), expected);
    EXPECT_EQ(flash.Announcements().size(), 129u);
    EXPECT_EQ(session.GetUpProgress(), 100);
}

TEST(SessionUpgrade, HardwareIsNeverSentAnImageTheBuildDoesNotCarry) {
    if (!CarriedFirmwareImage().empty()) {
        GTEST_SKIP() << "this build carries a firmware image";
    }
    test::SessionHarness h;
    h.provider->m_upgradeMode = true;
    ASSERT_TRUE(h.Connect());
    EXPECT_EQ(h.session->IsSimulated(), 0);
    EXPECT_FALSE(h.session->DoUpgrade());
    EXPECT_FALSE(h.session->LastUpgradeResult().sent);
    EXPECT_NE(h.session->LastUpgradeResult().message.find("carries no firmware image"), std::string::npos);
    EXPECT_TRUE(h.wire->Sent().empty());
}

TEST(SessionUpgrade, AFailedOrRefusedTransferIsReportedAsSuchWhenTheThreadEnds) {
    struct Case {
        bool connect;
        bool upgradeMode;
        std::string file;
        UpgradeFault fault;
        std::string says;
    };
    const fs::path hex = fs::temp_directory_path() / "varnoth-session-upgrade.hex";
    std::ofstream(hex) << ":00000001FF\n";
    const Case cases[] = {
        {false, false, "", UpgradeFault::NotConnected, "No amplifier is connected"},
        {true, false, "", UpgradeFault::NotUpgradeMode, "not in upgrade mode"},
        {true, true, hex.string(), UpgradeFault::HexFile, "Intel HEX"},
        {true, true, (fs::temp_directory_path() / "varnoth-no-such-image.bin").string(),
         UpgradeFault::CannotOpen, "Can't open"},
    };
    for (const Case& c : cases) {
        UpgradeObserver observer;
        test::SessionHarness h(QuickStart());
        h.session->SetObserver(&observer);
        h.provider->m_upgradeMode = c.upgradeMode;
        if (c.connect) {
            ASSERT_TRUE(h.Connect());
            h.session->SetObserver(&observer);
        }
        ASSERT_TRUE(c.file.empty() ? h.session->TryUpgrade() : h.session->TryManualUpgrade(c.file));
        ASSERT_TRUE(observer.WaitForDone()) << c.says;
        const UpgradeResult result = h.session->LastUpgradeResult();
        EXPECT_FALSE(result.sent) << c.says;
        EXPECT_EQ(result.fault, c.fault) << result.message;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_TRUE(h.wire->Sent().empty()) << c.says;
    }
    fs::remove(hex);
}

}  // namespace
}  // namespace varnoth
