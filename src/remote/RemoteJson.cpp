// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteJson.h"

#include <algorithm>

#include "files/JsonValue.h"
#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

struct GroupName {
    ParamGroup group;
    const char* name;
};

constexpr std::array<GroupName, 8> kGroupNames{{
    {ParamGroup::Hidden, "hidden"},
    {ParamGroup::Channel, "channel"},
    {ParamGroup::Effect1, "effect1"},
    {ParamGroup::Effect2, "effect2"},
    {ParamGroup::AutoSub, "autosub"},
    {ParamGroup::Subwoofer, "subwoofer"},
    {ParamGroup::GraphicEq, "graphiceq"},
    {ParamGroup::Volumes, "volumes"},
}};

const char* NameOf(ParamGroup group) {
    return std::find_if(kGroupNames.begin(), kGroupNames.end(),
                        [&](const GroupName& g) { return g.group == group; })
        ->name;
}

std::string Both(const std::string& english, const std::string& chinese) {
    return "{\"en\": " + JsonQuoted(english) + ", \"zh\": " + JsonQuoted(chinese) + "}";
}

// "name", "raw" and "shown" of a parameter as the store holds it.
std::string ValueMembers(const DeviceSession& session, const ParameterRef& ref) {
    const int raw = ReadParameter(session, ref);
    const auto byte = static_cast<std::uint8_t>(raw);
    return "\"name\": " + JsonQuoted(ref.Name()) + ", \"raw\": " + std::to_string(raw) +
           ", \"shown\": " + Both(ref.Shown(byte, 1), ref.Shown(byte, 0));
}

std::string ModeMember(const DeviceSession& session) {
    return "\"mode\": " + std::to_string(session.MemoryMode() + 1);
}

}  // namespace

std::string RemoteJson::Parameter(const DeviceSession& session, const ParameterRef& ref, RemoteRole role) {
    std::string json = "{" + ValueMembers(session, ref);
    if (ref.param->count != 0) {
        json += ", \"index\": " + std::to_string(ref.index);
    }
    json += ", \"min\": " + std::to_string(ref.param->min) + ", \"max\": " + std::to_string(ref.param->max) +
            ", \"group\": \"" + NameOf(ref.Group()) +
            "\", \"title\": " + Both(ref.param->title.english, ref.param->title.chinese) +
            ", \"writable\": " + (RemoteRights::MayWrite(role, ref) ? "true" : "false") + "}";
    return json;
}

std::string RemoteJson::State(const DeviceSession& session, RemoteRole role) {
    std::string json =
        "{\"role\": \"" + std::string(RemoteRights::Name(role)) +
        "\", \"connected\": " + (session.IsConnected() ? "true" : "false") + ", " + ModeMember(session) +
        ", \"loadMode\": " + (RemoteRights::MayLoadMode(role) ? "true" : "false") +
        ", \"saveMode\": " + (RemoteRights::MaySaveMode(role) ? "true" : "false") + ", \"parameters\": [";
    bool first = true;
    for (const ParameterRef& ref : AllParameters()) {
        json += (first ? "\n" : ",\n") + Parameter(session, ref, role);
        first = false;
    }
    return json + "\n]}\n";
}

std::vector<ParameterRef> RemoteJson::Changed(const ChangeSet& changes) {
    std::vector<ParameterRef> changed;
    for (const ParameterRef& ref : AllParameters()) {
        const int position = ref.Position();
        const bool hit = position == kNotStored ? changes.test(kMicControlSubChange)
                                                : changes.test(static_cast<std::size_t>(position));
        if (hit) {
            changed.push_back(ref);
        }
    }
    return changed;
}

std::string RemoteJson::Changes(const DeviceSession& session, const ChangeSet& changes) {
    const std::vector<ParameterRef> changed = Changed(changes);
    if (changed.empty() && !changes.test(kModeChange)) {
        return {};
    }
    std::string json = "{\"type\": \"changes\", " + ModeMember(session) + ", \"parameters\": [";
    for (std::size_t i = 0; i < changed.size(); ++i) {
        json += (i == 0 ? "{" : ", {") + ValueMembers(session, changed[i]) + "}";
    }
    return json + "]}";
}

std::string RemoteJson::Levels(const std::array<std::uint8_t, 4>& levels, bool event) {
    std::string json = event ? "{\"type\": \"levels\", \"levels\": [" : "{\"levels\": [";
    for (std::size_t i = 0; i < levels.size(); ++i) {
        json += (i == 0 ? "" : ", ") + std::to_string(levels[i]);
    }
    return json + "]}";
}

std::string RemoteJson::Error(const std::string& reason, const std::vector<std::string>& problems) {
    std::string json = "{\"error\": " + JsonQuoted(reason);
    if (!problems.empty()) {
        json += ", \"problems\": [";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            json += (i == 0 ? "" : ", ") + JsonQuoted(problems[i]);
        }
        json += "]";
    }
    return json + "}";
}

}  // namespace varnoth
