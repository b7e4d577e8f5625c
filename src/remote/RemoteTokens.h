// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "remote/RemoteRights.h"

namespace varnoth {

// The two tokens of remote control, one per role: 128 random bits each, written as 32 hexadecimal digits.
// They are kept in a file only its owner can read, so that the links stay the same from one start to the
// next; renewing them makes new ones and so drops the old links.
class RemoteTokens {
  public:
    static constexpr std::size_t kHexDigits = 32;

    RemoteTokens(std::string installer, std::string staff);

    // Two new tokens from the kernel's random source.
    static RemoteTokens Fresh();
    // The tokens of the file at path; made and written there when the file is missing, unreadable as
    // tokens, open to other users, or when renew is set. Empty error on success, else why the file could not
    // be written (the tokens then hold for this run only).
    static RemoteTokens LoadOrCreate(const std::string& path, bool renew, std::string& error);
    // $XDG_STATE_HOME/varnoth/remote-tokens, or ~/.local/state/varnoth/remote-tokens.
    static std::string DefaultPath();

    // The role whose token candidate is, compared in time that does not depend on where they differ.
    std::optional<RemoteRole> Match(std::string_view candidate) const;
    const std::string& Of(RemoteRole role) const;

    // Writes the file whole with mode 0600, creating its folder (0700); an error text, or empty.
    std::string Save(const std::string& path) const;

  private:
    std::string m_installer;
    std::string m_staff;
};

}  // namespace varnoth
