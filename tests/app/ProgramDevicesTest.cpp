// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramDevices.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/sim/SimProvider.h"

namespace varnoth {
namespace {

TEST(ProgramDevices, TheVirtualAmplifierIsPluggedAndUnpluggedByTheKeyAndReportedUntilStopped) {
    CommandLine options;
    options.simulate = true;
    options.scenario = "old-firmware";
    ProgramDevices devices;
    ASSERT_EQ(devices.Open(options), "");
    ASSERT_TRUE(devices.Simulated());
    OpenResult opened = devices.Provider()->Open(kNormalIds, kUpgradeIds);
    ASSERT_NE(opened.transport, nullptr);

    std::mutex mutex;
    std::vector<std::pair<bool, std::string>> reports;
    devices.Watch([&](bool arrived, const std::string& path) {
        std::lock_guard lock(mutex);
        reports.emplace_back(arrived, path);
    });
    devices.ToggleSimulatedPlug();
    EXPECT_EQ(devices.Provider()->Open(kNormalIds, kUpgradeIds).transport, nullptr) << "unplugged";
    devices.ToggleSimulatedPlug();
    devices.Stop();
    devices.ToggleSimulatedPlug();
    const std::vector<std::pair<bool, std::string>> expected = {{false, SimProvider::kNormalPath},
                                                                {true, SimProvider::kNormalPath}};
    EXPECT_EQ(reports, expected);
}

TEST(ProgramDevices, AnUnknownScenarioIsRefusedWithTheKnownOnes) {
    CommandLine options;
    options.simulate = true;
    options.scenario = "toaster";
    ProgramDevices devices;
    const std::string problem = devices.Open(options);
    EXPECT_NE(problem.find("toaster"), std::string::npos) << problem;
    EXPECT_NE(problem.find("new-firmware"), std::string::npos) << problem;
    EXPECT_EQ(devices.Provider(), nullptr);
}

}  // namespace
}  // namespace varnoth
