// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimScenario.h"

#include <algorithm>
#include <chrono>

#include "device/sim/SimFactory.h"

namespace varnoth {
namespace {

struct ScenarioSetup {
    SimScenario scenario;
    bool upgradeMode;
    const char* deviceName;
    const char* date;
    bool silent;
    std::chrono::milliseconds latency{0};
    unsigned dropEvery = 0;
    std::uint64_t vanishAfter = 0;
    std::chrono::milliseconds remoteWalk{0};
    std::chrono::milliseconds jitter{0};
};

const ScenarioSetup kScenarios[] = {
    {{"normal", "the amplifier with the firmware the program carries"},
     false,
     sim::kFactoryName,
     sim::kFactoryDate,
     false},
    {{"upgrade", "the amplifier switched on in upgrade mode"},
     true,
     sim::kFactoryName,
     sim::kFactoryDate,
     false},
    {{"old-firmware", "the amplifier with firmware older than the program's"},
     false,
     sim::kFactoryName,
     "2011-06-15",
     false},
    {{"new-firmware", "the amplifier with firmware newer than the program's"},
     false,
     sim::kFactoryName,
     "2012-03-20",
     false},
    {{"foreign", "another amplifier model on the same identifiers"},
     false,
     "VQ580",
     sim::kFactoryDate,
     false},
    {{"silent", "an amplifier that never answers"}, false, sim::kFactoryName, sim::kFactoryDate, true},
    {{"slow", "an amplifier that takes 30 ms for every reply"},
     false,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(30)},
    {{"slow-upgrade", "the amplifier in upgrade mode, taking 30 ms for every reply"},
     true,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(30)},
    {{"unplugged-upgrade", "the amplifier in upgrade mode, unplugged after taking 40 reports"},
     true,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(0),
     0,
     40},
    {{"lossy", "an amplifier that loses every 4th reply"},
     false,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(0),
     4},
    {{"remote", "an amplifier whose music volume someone steps with the remote every 2 s"},
     false,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(0),
     0,
     0,
     std::chrono::milliseconds(2000)},
    {{"unsteady", "an amplifier whose replies come 10 ms to 1 s late, some after the panel gave up waiting"},
     false,
     sim::kFactoryName,
     sim::kFactoryDate,
     false,
     std::chrono::milliseconds(10),
     0,
     0,
     std::chrono::milliseconds(0),
     std::chrono::milliseconds(990)},
};

}  // namespace

const std::vector<SimScenario>& SimScenarios() {
    static const std::vector<SimScenario> scenarios = [] {
        std::vector<SimScenario> list;
        for (const ScenarioSetup& setup : kScenarios) {
            list.push_back(setup.scenario);
        }
        return list;
    }();
    return scenarios;
}

std::string ApplySimScenario(const std::string& name, SimProvider& provider) {
    const auto* setup = std::find_if(std::begin(kScenarios), std::end(kScenarios),
                                     [&](const ScenarioSetup& s) { return name == s.scenario.name; });
    if (setup == std::end(kScenarios)) {
        std::string known;
        for (const ScenarioSetup& s : kScenarios) {
            known += known.empty() ? "" : ", ";
            known += s.scenario.name;
        }
        return "unknown simulation scenario \"" + name + "\" (known: " + known + ")";
    }
    provider.Unplug();
    VirtualAmpState state = VirtualAmpState::Factory();
    state.upgradeMode = setup->upgradeMode;
    state.name = setup->deviceName;
    state.date = setup->date;
    provider.Amp()->SetState(state);
    provider.Amp()->SetRemoteWalk(setup->remoteWalk);
    SimFaults faults;
    faults.silent = setup->silent;
    faults.latency = setup->latency;
    faults.jitter = setup->jitter;
    faults.dropEvery = setup->dropEvery;
    faults.vanishAfter = setup->vanishAfter;
    provider.SetFaults(faults);
    provider.Plug();
    return {};
}

}  // namespace varnoth
