// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteAccess.h"

#include <algorithm>
#include <cctype>

namespace varnoth {
namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The value of NAME in a list of NAME=VALUE items separated by separator.
std::string_view ItemOf(std::string_view list, std::string_view name, char separator) {
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(separator), list.size());
        const std::string_view item = Trimmed(list.substr(0, end));
        if (item.size() > name.size() && item.substr(0, name.size()) == name && item[name.size()] == '=') {
            return item.substr(name.size() + 1);
        }
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return {};
}

}  // namespace

RemoteAccess::RemoteAccess(const RemoteTokens& tokens, std::vector<std::string> hosts)
    : m_tokens(tokens), m_hosts(std::move(hosts)) {}

std::string RemoteAccess::QueryToken(std::string_view query) {
    return std::string(ItemOf(query, "token", '&'));
}

bool RemoteAccess::KnownHost(std::string_view host) const {
    return std::any_of(m_hosts.begin(), m_hosts.end(),
                       [&](const std::string& h) { return SameText(h, host); });
}

RemoteAccess::Verdict RemoteAccess::Check(const RemoteRequest& request) const {
    if (!KnownHost(request.host)) {
        return {std::nullopt, 403,
                "this server does not answer to the host \"" + request.host.substr(0, 100) + "\""};
    }
    constexpr std::string_view kHttp = "http://";
    if (!request.origin.empty() && !(request.origin.starts_with(kHttp) &&
                                     KnownHost(std::string_view(request.origin).substr(kHttp.size())))) {
        return {std::nullopt, 403, "requests from other sites are refused"};
    }
    std::string token;
    constexpr std::string_view kBearer = "Bearer ";
    if (request.authorization.size() > kBearer.size() &&
        SameText(std::string_view(request.authorization).substr(0, kBearer.size()), kBearer)) {
        token = Trimmed(std::string_view(request.authorization).substr(kBearer.size()));
    } else if (std::string fromQuery = QueryToken(request.query); !fromQuery.empty()) {
        token = std::move(fromQuery);
    } else {
        token = ItemOf(request.cookie, kCookie, ';');
    }
    if (token.empty()) {
        return {std::nullopt, 401, "a token is needed: open one of the links the server printed"};
    }
    const std::optional<RemoteRole> role = m_tokens.Match(token);
    if (!role) {
        return {std::nullopt, 401, "the token is not valid (renewed tokens drop the old links)"};
    }
    return {role, 200, {}};
}

}  // namespace varnoth
