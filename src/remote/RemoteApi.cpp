// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteApi.h"

#include <algorithm>
#include <array>

#include "remote/RemoteJson.h"
#include "session/DeviceSession.h"
#include "session/MachineRules.h"

namespace varnoth {

// A route: its method, its path (or the start of it, for a path with a variable part) and its handler.
struct RemoteApi::Route {
    const char* method;
    std::string_view path;
    bool prefix;
    RemoteResponse (RemoteApi::*handle)(const RemoteRequest& request, RemoteRole role);
};

namespace {

constexpr std::string_view kModes = "/api/v1/modes/";
constexpr std::string_view kApi = "/api/";

RemoteResponse Failure(int status, const std::string& reason) {
    return {status, "application/json", RemoteJson::Error(reason), {}};
}

}  // namespace

RemoteApi::RemoteApi(DeviceSession& session, const RemoteAccess& access, RemoteEdits& edits, PageFiles page)
    : m_session(session), m_access(access), m_edits(edits), m_page(std::move(page)) {}

RemoteResponse RemoteApi::Handle(const RemoteRequest& request) {
    static constexpr std::array<Route, 9> kRoutes{{
        {"GET", "/api/v1/parameters", false, &RemoteApi::Parameters},
        {"PATCH", "/api/v1/parameters", false, &RemoteApi::Patch},
        {"GET", "/api/v1/levels", false, &RemoteApi::Levels},
        {"POST", kModes, true, &RemoteApi::Mode},
        {"POST", "/api/v1/undo", false, &RemoteApi::Undo},
        {"POST", "/api/v1/redo", false, &RemoteApi::Redo},
        {"GET", kEventsPath, false, &RemoteApi::Events},
        {"GET", kApi, true, nullptr},
        {"GET", "/", true, &RemoteApi::Page},
    }};
    if (request.body.size() > kMaxBody) {
        return Failure(413, "the body is larger than " + std::to_string(kMaxBody) + " bytes");
    }
    const RemoteAccess::Verdict verdict = m_access.Check(request);
    if (!verdict.role) {
        return Failure(verdict.status, verdict.reason);
    }
    const auto matches = [&](const Route& route) {
        return route.prefix ? request.path.starts_with(route.path) : request.path == route.path;
    };
    const auto* route = std::find_if(kRoutes.begin(), kRoutes.end(), [&](const Route& r) {
        return matches(r) && request.method == r.method;
    });
    if (route != kRoutes.end() && route->handle != nullptr) {
        return (this->*route->handle)(request, *verdict.role);
    }
    const bool otherMethod =
        route == kRoutes.end() && std::any_of(kRoutes.begin(), kRoutes.end(), [&](const Route& r) {
            return matches(r) && r.handle != nullptr && r.path != "/";
        });
    return otherMethod ? Failure(405, "method not allowed here") : Failure(404, "no such resource");
}

RemoteResponse RemoteApi::Parameters(const RemoteRequest&, RemoteRole role) {
    return {200, "application/json", RemoteJson::State(m_session, role), {}};
}

RemoteResponse RemoteApi::Patch(const RemoteRequest& request, RemoteRole role) {
    return m_edits.Patch(role, request.body);
}

RemoteResponse RemoteApi::Levels(const RemoteRequest&, RemoteRole) {
    std::array<std::uint8_t, 4> levels{};
    m_session.Store().GetPeakData(levels.data());
    return {200, "application/json", RemoteJson::Levels(levels, false), {}};
}

RemoteResponse RemoteApi::Mode(const RemoteRequest& request, RemoteRole role) {
    const std::string_view rest = std::string_view(request.path).substr(kModes.size());
    const bool load = rest.size() == 6 && rest.substr(1) == "/load";
    const bool save = rest.size() == 6 && rest.substr(1) == "/save";
    if ((!load && !save) || rest[0] < '1' || rest[0] > '4') {
        return Failure(404, "no such resource: the memory modes are 1..4, each with load and save");
    }
    const int mode = rest[0] - '1';
    if (load ? !RemoteRights::MayLoadMode(role) : !RemoteRights::MaySaveMode(role)) {
        return Failure(403, std::string("this token may not ") + (load ? "load" : "save") + " memory modes");
    }
    if (RemoteResponse refusal; m_edits.Refused(refusal)) {
        return refusal;
    }
    if (const auto refusal = ModeLockRefusal(m_session.GetMachineSet(), save)) {
        return Failure(409, refusal->english);
    }
    if (load) {
        // The amplifier sets its working set itself: everything is read back, and the events show it.
        m_session.LoadMode(mode, true);
    } else {
        m_session.SaveMode(mode);
    }
    return {202,
            "application/json",
            "{\"mode\": " + std::to_string(mode + 1) + ", \"action\": \"" + (load ? "load" : "save") + "\"}",
            {}};
}

RemoteResponse RemoteApi::Undo(const RemoteRequest&, RemoteRole role) {
    return m_edits.Step(role, true);
}

RemoteResponse RemoteApi::Redo(const RemoteRequest&, RemoteRole role) {
    return m_edits.Step(role, false);
}

RemoteResponse RemoteApi::Events(const RemoteRequest&, RemoteRole) {
    return Failure(426, "the events are a WebSocket: ask for an upgrade");
}

RemoteResponse RemoteApi::Page(const RemoteRequest& request, RemoteRole role) {
    // The link's token becomes a cookie the page's own requests carry, and leaves the address bar.
    if (request.path == "/" && !RemoteAccess::QueryToken(request.query).empty()) {
        return {303,
                "text/plain",
                {},
                {{"Location", "/"},
                 {"Set-Cookie", std::string(RemoteAccess::kCookie) + "=" + m_access.Tokens().Of(role) +
                                    "; Path=/; HttpOnly; SameSite=Strict"},
                 {"Cache-Control", "no-store"}}};
    }
    std::optional<RemoteResponse> file =
        m_page ? m_page(request.path == "/" ? "/index.html" : request.path) : std::nullopt;
    if (!file) {
        return Failure(404, "no such page");
    }
    file->headers.emplace_back("Cache-Control", "no-store");
    return *file;
}

}  // namespace varnoth
