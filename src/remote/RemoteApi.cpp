// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteApi.h"

#include <algorithm>
#include <array>

#include "remote/RemoteJson.h"
#include "session/DeviceSession.h"
#include "session/MachineRules.h"

namespace varnoth {

namespace {

constexpr std::string_view kModes = "/api/v1/modes/";

RemoteResponse Failure(int status, const std::string& reason) {
    return {status, "application/json", RemoteJson::Error(reason), {}};
}

}  // namespace

bool RemoteApi::Route::Takes(std::string_view requestPath) const {
    const std::size_t variable = path.find('{');
    return variable == std::string_view::npos ? requestPath == path
                                              : requestPath.starts_with(path.substr(0, variable));
}

std::vector<int> RemoteApi::Route::Answers() const {
    std::vector<int> answers = statuses;
    answers.insert(answers.end(), kAccessStatuses.begin(), kAccessStatuses.end());
    std::sort(answers.begin(), answers.end());
    answers.erase(std::unique(answers.begin(), answers.end()), answers.end());
    return answers;
}

std::span<const RemoteApi::Route> RemoteApi::Routes() {
    // The events are a WebSocket: the server takes the upgrade (101) before the route.
    static const std::vector<Route> kRoutes{
        {"GET", "/api/v1/parameters", &RemoteApi::Parameters, {200}},
        {"PATCH", "/api/v1/parameters", &RemoteApi::Patch, {200, 403, 422, 503}},
        {"GET", "/api/v1/levels", &RemoteApi::Levels, {200}},
        {"POST", "/api/v1/modes/{mode}/{action}", &RemoteApi::Mode, {202, 403, 404, 409, 503}},
        {"POST", "/api/v1/undo", &RemoteApi::Undo, {200, 403, 409, 503}},
        {"POST", "/api/v1/redo", &RemoteApi::Redo, {200, 403, 409, 503}},
        {"GET", kEventsPath, &RemoteApi::Events, {101, 426}},
        {"GET", "/api/{path}", nullptr, {404}},
        {"GET", "/", &RemoteApi::Page, {200, 303}},
        {"GET", "/{file}", &RemoteApi::Page, {200, 404}},
    };
    return kRoutes;
}

const RemoteApi::Route* RemoteApi::RouteOf(std::string_view method, std::string_view path) {
    const std::span<const Route> routes = Routes();
    const auto route = std::find_if(routes.begin(), routes.end(),
                                    [&](const Route& r) { return r.method == method && r.Takes(path); });
    return route == routes.end() ? nullptr : &*route;
}

RemoteApi::RemoteApi(DeviceSession& session, const RemoteAccess& access, RemoteEdits& edits, PageFiles page)
    : m_session(session), m_access(access), m_edits(edits), m_page(std::move(page)) {}

RemoteResponse RemoteApi::Handle(const RemoteRequest& request) {
    if (request.body.size() > kMaxBody) {
        return Failure(413, "the body is larger than " + std::to_string(kMaxBody) + " bytes");
    }
    const RemoteAccess::Verdict verdict = m_access.Check(request);
    if (!verdict.role) {
        return Failure(verdict.status, verdict.reason);
    }
    const Route* route = RouteOf(request.method, request.path);
    if (route != nullptr && route->handle != nullptr) {
        return (this->*route->handle)(request, *verdict.role);
    }
    // The page answers GET alone: another method on a page's path finds no such resource.
    const std::span<const Route> routes = Routes();
    const bool otherMethod =
        route == nullptr && std::any_of(routes.begin(), routes.end(), [&](const Route& r) {
            return r.Takes(request.path) && r.handle != nullptr && r.handle != &RemoteApi::Page;
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
    return {202, "application/json", RemoteJson::ModeAction(mode + 1, load), {}};
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
