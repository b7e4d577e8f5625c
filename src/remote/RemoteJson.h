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
    // The whole state a client starts from: its role, whether the amplifier is connected, the memory mode,
    // the groups a page shows, in its order, with their titles ({"name", "title": {"en", "zh"}}), and every
    // parameter: {"name", "raw", "shown": {"en", "zh"}, "index"?, "min", "max", "group", "title": {"en",
    // "zh"}, "writable"}.
    static std::string State(const DeviceSession& session, RemoteRole role);
    // The state as the events' first message: {"type": "state", "state": State}.
    static std::string StateEvent(const DeviceSession& session, RemoteRole role);
    // {"parameters": [...]}: the parameters refs, as in the state.
    static std::string Parameters(const DeviceSession& session, const std::vector<ParameterRef>& refs,
                                  RemoteRole role);
    // The event for changes of the store: {"type": "changes", "parameters": [{"name", "raw", "shown"}...],
    // "mode"}; empty when no parameter and no mode changed.
    static std::string Changes(const DeviceSession& session, const ChangeSet& changes);
    // {"levels": [mic 1, mic 2, music 1, music 2]}, with "type": "levels" as an event.
    static std::string Levels(const std::array<std::uint8_t, 4>& levels, bool event);
    // {"mode": 1..4, "action": "load" or "save"}: a memory mode's command, sent.
    static std::string ModeAction(int mode, bool load);
    // The event answering an edit sent over the events: {"type": "result", "status", "body"}, body being
    // the answer's JSON.
    static std::string Result(int status, const std::string& body);
    // {"error": reason, "problems": [...]}.
    static std::string Error(const std::string& reason, const std::vector<std::string>& problems = {});
    // The parameters whose values changes covers.
    static std::vector<ParameterRef> Changed(const ChangeSet& changes);
};

}  // namespace varnoth
