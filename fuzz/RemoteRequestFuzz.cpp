// SPDX-License-Identifier: GPL-3.0-or-later
// Requests of any shape into the remote control's request handling over a session without an amplifier:
// the bytes are the method (first byte), then the path, query, Host, Origin, Authorization and Cookie, one
// per line, then the body.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "files/JsonValue.h"
#include "remote/RemoteApi.h"
#include "session/DeviceSession.h"

using namespace varnoth;

namespace {

constexpr std::array<const char*, 6> kMethods{"GET", "PATCH", "POST", "PUT", "DELETE", "HEAD"};

std::string TakeLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string line(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static DeviceSession* session = new DeviceSession();
    static const RemoteTokens* tokens = new RemoteTokens(std::string(32, 'a'), std::string(32, 'b'));
    static const RemoteAccess* access = new RemoteAccess(*tokens, {"127.0.0.1:8431"});
    static RemoteEdits* edits = new RemoteEdits(*session, true);
    static RemoteApi* api = new RemoteApi(*session, *access, *edits, [](std::string_view path) {
        return path == "/index.html"
                   ? std::optional<RemoteResponse>(RemoteResponse{200, "text/html", "<p>", {}})
                   : std::nullopt;
    });
    if (size == 0) {
        return 0;
    }
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    RemoteRequest request;
    request.method = kMethods[data[0] % kMethods.size()];
    request.path = TakeLine(rest);
    request.query = TakeLine(rest);
    request.host = TakeLine(rest);
    request.origin = TakeLine(rest);
    request.authorization = TakeLine(rest);
    request.cookie = TakeLine(rest);
    request.body = std::string(rest);

    // Every answer is one its route lists, as docs/api/openapi.yaml does.
    const RemoteResponse response = api->Handle(request);
    const RemoteApi::Route* route = RemoteApi::RouteOf(request.method, request.path);
    std::vector<int> listed(RemoteApi::kNoRouteStatuses.begin(), RemoteApi::kNoRouteStatuses.end());
    if (route != nullptr) {
        listed = route->Answers();
    }
    listed.insert(listed.end(), RemoteApi::kAccessStatuses.begin(), RemoteApi::kAccessStatuses.end());
    if (std::find(listed.begin(), listed.end(), response.status) == listed.end()) {
        std::abort();
    }
    // Nothing passes without a token of this server from this server.
    if (response.status < 400 && !access->Check(request).role) {
        std::abort();
    }
    // Every JSON answer is JSON, whatever the request held.
    std::string error;
    if (response.contentType == "application/json" && !response.body.empty() &&
        !JsonValue::Parse(response.body, error)) {
        std::abort();
    }
    return 0;
}
