// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnoth {

class MachineSettings;

// A text in the program's two languages; language 0 is Chinese, anything else English.
struct BilingualText {
    std::string chinese;
    std::string english;

    const std::string& In(int language) const { return language == 0 ? chinese : english; }
};

// The panel's limits on the master volumes and the memory modes, from the saved machine settings: a master
// volume above its maximum cannot be set, a locked volume cannot be changed, and locked memory modes can be
// neither loaded nor saved. Each gives the refusal the panel shows, or nothing when the action may go on.
// volumeName is the parameter's name (MicVol, MusicVol, CenterVol, SubVol); any other name is not limited.
bool IsMasterVolume(std::string_view name);
std::optional<BilingualText> MasterVolumeRefusal(const MachineSettings& machine, std::string_view volumeName,
                                                 int value);
std::optional<BilingualText> ModeLockRefusal(const MachineSettings& machine, bool save);

}  // namespace varnoth
