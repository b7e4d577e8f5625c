// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "device/sim/SimProvider.h"

namespace varnoth {

struct SimScenario {
    const char* name;
    const char* description;
};

// The scenarios by name: normal, upgrade, old-firmware, new-firmware, foreign, silent, slow, slow-upgrade,
// unplugged-upgrade, lossy, remote.
const std::vector<SimScenario>& SimScenarios();

// Turns the provider's amplifier into the scenario's device: it is unplugged, set back to factory (state,
// name, date, upgrade mode), given the scenario's differences and the provider's faults, and plugged in
// again (observers see the removal and the arrival). Returns an empty string, or for an unknown name a
// message listing the known ones; then nothing changes.
std::string ApplySimScenario(const std::string& name, SimProvider& provider);

}  // namespace varnoth
