// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UserHome.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace varnoth {

std::string EnsureHomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return {};
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return "HOME is not set and the user database names no home folder for this user";
    }
    ::setenv("HOME", found->pw_dir, 1);
    return {};
}

}  // namespace varnoth
