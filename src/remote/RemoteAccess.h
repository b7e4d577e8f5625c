// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/RemoteMessage.h"
#include "remote/RemoteTokens.h"

namespace varnoth {

// Who may use the remote control. A request names this server in its Host header (one of the addresses it
// listens on, with its port: a page loaded under another name, as a DNS-rebinding attack does, is refused),
// comes from a page of this server when it says where it comes from (Origin), and carries a token: in an
// "Authorization: Bearer" header, in the cookie the page's link sets, or as ?token= in the link itself.
class RemoteAccess {
  public:
    // The cookie that keeps the page's token.
    static constexpr const char* kCookie = "varnoth_token";

    // hosts: the HOST:PORT texts this server answers to (compared without regard to case).
    RemoteAccess(const RemoteTokens& tokens, std::vector<std::string> hosts);

    // Why the request is refused (401 without a valid token, 403 for a foreign Host or Origin), or the role
    // of its token.
    struct Verdict {
        std::optional<RemoteRole> role;
        int status = 0;
        std::string reason;
    };
    Verdict Check(const RemoteRequest& request) const;
    // The token of ?token= in the query, if any.
    static std::string QueryToken(std::string_view query);

    const std::vector<std::string>& Hosts() const { return m_hosts; }
    const RemoteTokens& Tokens() const { return m_tokens; }

  private:
    bool KnownHost(std::string_view host) const;

    const RemoteTokens& m_tokens;
    std::vector<std::string> m_hosts;
};

}  // namespace varnoth
