// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace varnoth {

// An HTTP request as the remote-control API sees it, already taken apart by the HTTP library: the method in
// capitals, the path without the query, the query, the headers the API reads and the body.
struct RemoteRequest {
    std::string method;
    std::string path;
    std::string query;
    std::string host;
    std::string origin;
    std::string authorization;
    std::string cookie;
    std::string body;
};

// The answer to it: status, media type, body and any further headers.
struct RemoteResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

}  // namespace varnoth
