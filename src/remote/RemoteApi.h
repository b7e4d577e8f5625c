// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "remote/RemoteAccess.h"
#include "remote/RemoteEdits.h"
#include "remote/RemoteMessage.h"

namespace varnoth {

class DeviceSession;

// The remote control's requests, without sockets: access (RemoteAccess), then the route. Under /api/v1:
// GET parameters, PATCH parameters, GET levels, POST modes/N/load and modes/N/save, POST undo and redo;
// GET of any other path is the page's (the files the server carries). A route is a row of the table in
// RemoteApi.cpp. Used on the thread that owns the remote control.
class RemoteApi {
  public:
    // Larger bodies are refused unread (413).
    static constexpr std::size_t kMaxBody = 64 * 1024;
    static constexpr const char* kEventsPath = "/api/v1/events";

    // A file of the page by its path, or nothing.
    using PageFiles = std::function<std::optional<RemoteResponse>(std::string_view path)>;

    RemoteApi(DeviceSession& session, const RemoteAccess& access, RemoteEdits& edits, PageFiles page);

    RemoteResponse Handle(const RemoteRequest& request);

  private:
    struct Route;
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
