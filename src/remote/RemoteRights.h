// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

#include "session/ParameterTable.h"

namespace varnoth {

// Who holds a remote-control token: the installer tunes everything the command line's set reaches; the
// venue's staff turn the master volumes and the input gains and load the memory modes.
enum class RemoteRole { Installer, Staff };

class RemoteRights {
  public:
    static bool MayWrite(RemoteRole role, const ParameterRef& ref);
    static bool MayLoadMode(RemoteRole role);
    static bool MaySaveMode(RemoteRole role);
    // "installer" or "staff".
    static const char* Name(RemoteRole role);
};

}  // namespace varnoth
