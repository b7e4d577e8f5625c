// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteJson.h"

#include <algorithm>

#include "files/JsonWriter.h"
#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

// The groups of parameters, in the order a page shows them, with their titles there.
struct GroupRow {
    ParamGroup group;
    const char* name;
    Bilingual title;
};

constexpr std::array<GroupRow, 8> kGroups{{
    {ParamGroup::Volumes, "volumes", {"音量", "Volumes"}},
    {ParamGroup::Channel, "channel", {"话筒与音乐", "Microphone and music"}},
    {ParamGroup::GraphicEq, "graphiceq", {"图示均衡", "Graphic EQ"}},
    {ParamGroup::Effect1, "effect1", {"效果一", "Effect 1"}},
    {ParamGroup::Effect2, "effect2", {"效果二", "Effect 2"}},
    {ParamGroup::Subwoofer, "subwoofer", {"超低", "Subwoofer"}},
    {ParamGroup::AutoSub, "autosub", {"自动超低", "Auto sub"}},
    {ParamGroup::Hidden, "hidden", {"其他", "Other"}},
}};

// A group without a row of its own is shown with the last ("Other").
const char* NameOf(ParamGroup group) {
    const auto* row =
        std::find_if(kGroups.begin(), kGroups.end(), [&](const GroupRow& g) { return g.group == group; });
    return row == kGroups.end() ? kGroups.back().name : row->name;
}

void Both(JsonWriter& json, const std::string& english, const std::string& chinese) {
    json.BeginObject().Key("en").String(english).Key("zh").String(chinese).EndObject();
}

// "name", "raw" and "shown" of a parameter as the store holds it.
void ValueMembers(JsonWriter& json, const DeviceSession& session, const ParameterRef& ref) {
    const int raw = ReadParameter(session, ref);
    const auto byte = static_cast<std::uint8_t>(raw);
    json.Key("name").String(ref.Name()).Key("raw").Number(raw).Key("shown");
    Both(json, ref.Shown(byte, 1), ref.Shown(byte, 0));
}

void Mode(JsonWriter& json, const DeviceSession& session) {
    json.Key("mode").Number(session.MemoryMode() + 1);
}

void OneParameter(JsonWriter& json, const DeviceSession& session, const ParameterRef& ref, RemoteRole role) {
    json.BeginObject();
    ValueMembers(json, session, ref);
    if (ref.param->count != 0) {
        json.Key("index").Number(ref.index);
    }
    json.Key("min").Number(ref.param->min).Key("max").Number(ref.param->max);
    json.Key("group").String(NameOf(ref.Group())).Key("title");
    Both(json, ref.param->title.english, ref.param->title.chinese);
    json.Key("writable").Boolean(RemoteRights::MayWrite(role, ref)).EndObject();
}

}  // namespace

std::string RemoteJson::State(const DeviceSession& session, RemoteRole role) {
    JsonWriter json;
    json.BeginObject().Key("role").String(RemoteRights::Name(role));
    json.Key("connected").Boolean(session.IsConnected());
    Mode(json, session);
    json.Key("loadMode").Boolean(RemoteRights::MayLoadMode(role));
    json.Key("saveMode").Boolean(RemoteRights::MaySaveMode(role));
    json.Key("groups").BeginArray();
    for (const GroupRow& group : kGroups) {
        json.BeginObject().Key("name").String(group.name).Key("title");
        Both(json, group.title.english, group.title.chinese);
        json.EndObject();
    }
    json.EndArray().Key("parameters").BeginArray(JsonWriter::Layout::Lines);
    for (const ParameterRef& ref : AllParameters()) {
        OneParameter(json, session, ref, role);
    }
    return json.EndArray().EndObject().Text() + "\n";
}

std::string RemoteJson::StateEvent(const DeviceSession& session, RemoteRole role) {
    JsonWriter json;
    json.BeginObject().Key("type").String("state").Key("state").Raw(State(session, role));
    return json.EndObject().Text();
}

std::string RemoteJson::Parameters(const DeviceSession& session, const std::vector<ParameterRef>& refs,
                                   RemoteRole role) {
    JsonWriter json;
    json.BeginObject().Key("parameters").BeginArray();
    for (const ParameterRef& ref : refs) {
        OneParameter(json, session, ref, role);
    }
    return json.EndArray().EndObject().Text();
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
    JsonWriter json;
    json.BeginObject().Key("type").String("changes");
    Mode(json, session);
    json.Key("parameters").BeginArray();
    for (const ParameterRef& ref : changed) {
        json.BeginObject();
        ValueMembers(json, session, ref);
        json.EndObject();
    }
    return json.EndArray().EndObject().Text();
}

std::string RemoteJson::Levels(const std::array<std::uint8_t, 4>& levels, bool event) {
    JsonWriter json;
    json.BeginObject();
    if (event) {
        json.Key("type").String("levels");
    }
    json.Key("levels").BeginArray();
    for (const std::uint8_t level : levels) {
        json.Number(level);
    }
    return json.EndArray().EndObject().Text();
}

std::string RemoteJson::ModeAction(int mode, bool load) {
    JsonWriter json;
    json.BeginObject().Key("mode").Number(mode).Key("action").String(load ? "load" : "save");
    return json.EndObject().Text();
}

std::string RemoteJson::Result(int status, const std::string& body) {
    JsonWriter json;
    json.BeginObject().Key("type").String("result").Key("status").Number(status).Key("body").Raw(body);
    return json.EndObject().Text();
}

std::string RemoteJson::Error(const std::string& reason, const std::vector<std::string>& problems) {
    JsonWriter json;
    json.BeginObject().Key("error").String(reason);
    if (!problems.empty()) {
        json.Key("problems").BeginArray();
        for (const std::string& problem : problems) {
            json.String(problem);
        }
        json.EndArray();
    }
    return json.EndObject().Text();
}

}  // namespace varnoth
