// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimProvider.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SimTestSupport.h"
#include "device/Opcodes.h"
#include "device/sim/SimFactory.h"
#include "device/sim/SimScenario.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::Command;

class SimProviderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        provider.AddObserver(
            [this](bool arrived, const std::string& path) { events.emplace_back(arrived, path); });
    }
    OpenResult Open() { return provider.Open(kNormalIds, kUpgradeIds); }

    SimProvider provider;
    std::vector<std::pair<bool, std::string>> events;
};

TEST_F(SimProviderTest, OpensThePluggedAmplifierUnderItsIdentifiers) {
    OpenResult normal = Open();
    ASSERT_TRUE(normal.transport) << normal.failure;
    EXPECT_EQ(normal.path, SimProvider::kNormalPath);
    EXPECT_FALSE(normal.upgradeMode);
    EXPECT_EQ(test::Exchange(*normal.transport, Command(op::ReadDevName))[1], op::ReadDevName);

    const OpenResult other = provider.Open({0x1234, 0x5678}, {0x1234, 0x5679});
    EXPECT_FALSE(other.transport);
    EXPECT_NE(other.failure.find("1234:5678"), std::string::npos) << other.failure;
    EXPECT_NE(other.failure.find("2010:1108"), std::string::npos) << other.failure;
}

TEST_F(SimProviderTest, UnplugKillsOpenLinksAndReplugAnnouncesTheUpgradeMode) {
    OpenResult before = Open();
    ASSERT_TRUE(before.transport);
    provider.Unplug();
    EXPECT_FALSE(provider.Plugged());
    EXPECT_EQ(before.transport->Transfer(Command(op::ReadDevName)), 0);
    const OpenResult unplugged = Open();
    EXPECT_FALSE(unplugged.transport);
    EXPECT_EQ(unplugged.failure, "the virtual amplifier is unplugged");

    provider.Amp()->SetUpgradeMode(true);
    provider.Plug();
    const OpenResult upgrade = Open();
    ASSERT_TRUE(upgrade.transport) << upgrade.failure;
    EXPECT_TRUE(upgrade.upgradeMode);
    EXPECT_EQ(upgrade.path, SimProvider::kUpgradePath);
    EXPECT_EQ(before.transport->Transfer(Command(op::ReadDevName)), 0) << "an old handle stays dead";

    const std::vector<std::pair<bool, std::string>> expected{{false, SimProvider::kNormalPath},
                                                             {true, SimProvider::kUpgradePath}};
    EXPECT_EQ(events, expected);
    provider.Plug();
    EXPECT_EQ(events.size(), 2u) << "plugging a plugged amplifier announces nothing";
}

TEST_F(SimProviderTest, FaultsApplyToLinksOpenedLater) {
    SimFaults faults;
    faults.silent = true;
    provider.SetFaults(faults);
    OpenResult link = Open();
    ASSERT_TRUE(link.transport);
    EXPECT_EQ(link.transport->Transfer(Command(op::ReadDevName)), 61);
    EXPECT_FALSE(link.transport->ReadOne(50ms).has_value());
}

// A device that vanishes mid-stream has been unplugged: its watchers learn of the removal, as from USB.
TEST(SimProviderVanish, ALinkThatVanishesUnplugsTheAmplifier) {
    const auto provider = std::make_shared<SimProvider>();
    std::vector<std::pair<bool, std::string>> events;
    provider->AddObserver(
        [&events](bool arrived, const std::string& path) { events.emplace_back(arrived, path); });
    SimFaults faults;
    faults.vanishAfter = 2;
    provider->SetFaults(faults);
    OpenResult link = provider->Open(kNormalIds, kUpgradeIds);
    ASSERT_TRUE(link.transport) << link.failure;
    EXPECT_EQ(link.transport->Transfer(Command(op::ReadDevName)), 61);
    EXPECT_TRUE(provider->Plugged());
    EXPECT_EQ(link.transport->Transfer(Command(op::ReadDevName)), 61);
    EXPECT_FALSE(provider->Plugged());
    EXPECT_EQ(events, (std::vector<std::pair<bool, std::string>>{{false, SimProvider::kNormalPath}}));
    EXPECT_EQ(link.transport->Transfer(Command(op::ReadDevName)), 0);
    EXPECT_EQ(events.size(), 1u) << "one removal";
}

TEST_F(SimProviderTest, ScenariosConfigureTheAmplifier) {
    struct Case {
        const char* scenario;
        bool upgradeMode;
        std::string name;
        std::string date;
        bool answers;
        int latencyMs = 0;
        unsigned dropEvery = 0;
        std::uint64_t vanishAfter = 0;
        bool remoteWalks = false;
        int jitterMs = 0;
    };
    const Case cases[] = {
        {"normal", false, "VQ317X", "2011-11-28", true},
        {"upgrade", true, "VQ317X", "2011-11-28", true},
        {"old-firmware", false, "VQ317X", "2011-06-15", true},
        {"new-firmware", false, "VQ317X", "2012-03-20", true},
        {"foreign", false, "VQ580", "2011-11-28", true},
        {"silent", false, "VQ317X", "2011-11-28", false},
        {"slow", false, "VQ317X", "2011-11-28", true, 30},
        {"slow-upgrade", true, "VQ317X", "2011-11-28", true, 30},
        {"unplugged-upgrade", true, "VQ317X", "2011-11-28", true, 0, 0, 40},
        {"remote", false, "VQ317X", "2011-11-28", true, 0, 0, 0, true},
        {"unsteady", false, "VQ317X", "2011-11-28", true, 10, 0, 0, false, 990},
        {"lossy", false, "VQ317X", "2011-11-28", true, 0, 4},
    };
    ASSERT_EQ(SimScenarios().size(), std::size(cases));
    for (const Case& c : cases) {
        provider.Amp()->SetRegister(10, 32, 0, 1);
        ASSERT_EQ(ApplySimScenario(c.scenario, provider), "") << c.scenario;
        const auto& amp = *provider.Amp();
        EXPECT_EQ(amp.UpgradeMode(), c.upgradeMode) << c.scenario;
        EXPECT_EQ(amp.Name(), c.name) << c.scenario;
        EXPECT_EQ(amp.Date(), c.date) << c.scenario;
        EXPECT_EQ(amp.Register(10, 32, 0), 58) << c.scenario << " starts from factory";
        EXPECT_EQ(provider.Faults().latency, std::chrono::milliseconds(c.latencyMs)) << c.scenario;
        EXPECT_EQ(provider.Faults().dropEvery, c.dropEvery) << c.scenario;
        EXPECT_EQ(provider.Faults().vanishAfter, c.vanishAfter) << c.scenario;
        EXPECT_EQ(provider.Faults().jitter, std::chrono::milliseconds(c.jitterMs)) << c.scenario;
        OpenResult link = Open();
        ASSERT_TRUE(link.transport) << c.scenario << ": " << link.failure;
        EXPECT_EQ(link.upgradeMode, c.upgradeMode);
        link.transport->Transfer(Command(op::ReadDevName));
        EXPECT_EQ(link.transport->ReadOne(c.answers ? 10s : 50ms).has_value(), c.answers) << c.scenario;
        // Someone at the remote steps the music volume, at the latest after a walk's period.
        provider.Amp()->SetLevelClock([] { return std::chrono::hours(1); });
        link.transport->Transfer(Command(op::ReadDevName));
        EXPECT_EQ(provider.Amp()->Volume(1) != 18, c.remoteWalks) << c.scenario;
        provider.Amp()->SetLevelClock([] { return std::chrono::milliseconds(0); });
    }

    const VirtualAmpState before = provider.Amp()->State();
    const std::string error = ApplySimScenario("broken", provider);
    EXPECT_NE(error.find("\"broken\""), std::string::npos) << error;
    EXPECT_NE(error.find("old-firmware"), std::string::npos) << error;
    EXPECT_EQ(provider.Amp()->State(), before);
    EXPECT_EQ(provider.Faults().dropEvery, 4u) << "an unknown scenario changes nothing";
}

}  // namespace
}  // namespace varnoth
