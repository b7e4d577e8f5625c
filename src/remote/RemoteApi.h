// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "remote/RemoteAccess.h"
#include "remote/RemoteEdits.h"
#include "remote/RemoteMessage.h"

namespace varnoth {

class DeviceSession;

// The remote control's requests, without sockets: access (RemoteAccess), then the route. Under /api/v1:
// GET parameters, PATCH parameters, GET levels, POST modes/N/load and modes/N/save, POST undo and redo;
// GET of any other path is the page's (the files the server carries). A route is a row of the table in
// RemoteApi.cpp, described in docs/api/openapi.yaml. Used on the thread that owns the remote control.
class RemoteApi {
  public:
    // Larger bodies are refused unread (413).
    static constexpr std::size_t kMaxBody = 64 * 1024;
    static constexpr const char* kEventsPath = "/api/v1/events";
    // What any request may get before its route: a body too large (413), no valid token (401), a foreign
    // Host or Origin (403).
    static constexpr std::array<int, 3> kAccessStatuses{401, 403, 413};
    // What a request no route takes gets: a path served with other methods (405), or none (404).
    static constexpr std::array<int, 2> kNoRouteStatuses{404, 405};

    // A route: its method, its path as docs/api/openapi.yaml writes it (a part in braces is variable: the
    // route takes every path that starts as the path does before its first brace), its handler (none for a
    // path kept from the page, which answers 404) and the statuses its handler answers.
    struct Route {
        const char* method;
        std::string_view path;
        RemoteResponse (RemoteApi::*handle)(const RemoteRequest& request, RemoteRole role);
        std::vector<int> statuses;

        bool Takes(std::string_view requestPath) const;
        // The statuses a request of this route may get: its handler's and those of access, in order.
        std::vector<int> Answers() const;
    };
    // Every route, in the order they are tried.
    static std::span<const Route> Routes();
    // The route that takes a request, or none.
    static const Route* RouteOf(std::string_view method, std::string_view path);

    // A file of the page by its path, or nothing.
    using PageFiles = std::function<std::optional<RemoteResponse>(std::string_view path)>;

    RemoteApi(DeviceSession& session, const RemoteAccess& access, RemoteEdits& edits, PageFiles page);

    RemoteResponse Handle(const RemoteRequest& request);

  private:
    RemoteResponse Parameters(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Patch(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Levels(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Mode(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Undo(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Redo(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Events(const RemoteRequest& request, RemoteRole role);
    RemoteResponse Page(const RemoteRequest& request, RemoteRole role);

    DeviceSession& m_session;
    const RemoteAccess& m_access;
    RemoteEdits& m_edits;
    PageFiles m_page;
};

}  // namespace varnoth
