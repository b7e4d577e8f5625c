// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "remote/RemoteRights.h"
#include "session/StoreChanges.h"

namespace varnoth {

class DeviceSession;

// The JSON texts of the remote-control API, every fact about a parameter taken from its table row and every
// value from the store.
class RemoteJson {
  public:
    // {"name", "index"?, "raw", "shown": {"en", "zh"}, "min", "max", "group", "title": {"en", "zh"},
    // "writable"} of one parameter.
    static std::string Parameter(const DeviceSession& session, const ParameterRef& ref, RemoteRole role);
    // The whole state a client starts from: its role, whether the amplifier is connected, the memory mode
    // and every parameter.
    static std::string State(const DeviceSession& session, RemoteRole role);
    // The event for changes of the store: {"type": "changes", "parameters": [{"name", "raw", "shown"}...],
    // "mode"}; empty when no parameter and no mode changed.
    static std::string Changes(const DeviceSession& session, const ChangeSet& changes);
    // {"levels": [mic 1, mic 2, music 1, music 2]}, with "type": "levels" as an event.
    static std::string Levels(const std::array<std::uint8_t, 4>& levels, bool event);
    // {"error": reason, "problems": [...]}.
    static std::string Error(const std::string& reason, const std::vector<std::string>& problems = {});
    // The parameters whose values changes covers.
    static std::vector<ParameterRef> Changed(const ChangeSet& changes);
};

}  // namespace varnoth
