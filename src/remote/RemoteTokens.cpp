// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteTokens.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace varnoth {
namespace {

constexpr const char* kInstallerKey = "installer ";
constexpr const char* kStaffKey = "staff ";
constexpr std::size_t kMaxFileSize = 4096;

std::string RandomToken() {
    std::array<std::uint8_t, RemoteTokens::kHexDigits / 2> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Without the kernel's random source no token can be trusted: no server is started.
            throw std::runtime_error(std::string("no random numbers: ") + std::strerror(errno));
        }
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

bool IsToken(std::string_view text) {
    return text.size() == RemoteTokens::kHexDigits &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Compares every character whatever the first difference, so that the time taken tells nothing.
bool SameToken(std::string_view token, std::string_view candidate) {
    unsigned difference = token.size() == candidate.size() ? 0U : 1U;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char other = i < candidate.size() ? candidate[i] : '\0';
        difference |= static_cast<unsigned char>(token[i] ^ other);
    }
    return difference == 0;
}

std::optional<RemoteTokens> ReadTokens(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::string text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) == 0 &&
        info.st_uid == ::geteuid() && info.st_size <= static_cast<off_t>(kMaxFileSize)) {
        text.resize(static_cast<std::size_t>(info.st_size));
        if (::read(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            text.clear();
        }
    }
    ::close(fd);
    std::string installer;
    std::string staff;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string_view line(text.data() + start, end - start);
        for (auto [key, target] : {std::pair{kInstallerKey, &installer}, std::pair{kStaffKey, &staff}}) {
            if (line.starts_with(key)) {
                *target = line.substr(std::strlen(key));
            }
        }
        start = end + 1;
    }
    if (!IsToken(installer) || !IsToken(staff) || installer == staff) {
        return std::nullopt;
    }
    return RemoteTokens(installer, staff);
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// Creates the folder and its missing parents, the last ones private to the user.
bool MakeFolders(const std::string& folder) {
    if (folder.empty()) {
        return true;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (!MakeFolders(ParentOf(folder))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

RemoteTokens::RemoteTokens(std::string installer, std::string staff)
    : m_installer(std::move(installer)), m_staff(std::move(staff)) {}

RemoteTokens RemoteTokens::Fresh() {
    std::string installer = RandomToken();
    std::string staff = RandomToken();
    while (staff == installer) {
        staff = RandomToken();
    }
    return RemoteTokens(std::move(installer), std::move(staff));
}

RemoteTokens RemoteTokens::LoadOrCreate(const std::string& path, bool renew, std::string& error) {
    error.clear();
    if (!renew) {
        if (std::optional<RemoteTokens> kept = ReadTokens(path)) {
            return *kept;
        }
    }
    RemoteTokens fresh = Fresh();
    error = fresh.Save(path);
    return fresh;
}

std::string RemoteTokens::DefaultPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/varnoth/remote-tokens";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/state/varnoth/remote-tokens";
}

std::optional<RemoteRole> RemoteTokens::Match(std::string_view candidate) const {
    const bool installer = SameToken(m_installer, candidate);
    const bool staff = SameToken(m_staff, candidate);
    if (installer) {
        return RemoteRole::Installer;
    }
    if (staff) {
        return RemoteRole::Staff;
    }
    return std::nullopt;
}

const std::string& RemoteTokens::Of(RemoteRole role) const {
    return role == RemoteRole::Installer ? m_installer : m_staff;
}

std::string RemoteTokens::Save(const std::string& path) const {
    if (!MakeFolders(ParentOf(path))) {
        return "cannot create the folder of " + path + ": " + std::strerror(errno);
    }
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return "cannot write " + temporary + ": " + std::strerror(errno);
    }
    const std::string text = std::string(kInstallerKey) + m_installer + "\n" + kStaffKey + m_staff + "\n";
    const bool written =
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = written ? errno : writeError;
        ::unlink(temporary.c_str());
        return "cannot write " + path + ": " + std::strerror(error);
    }
    return {};
}

}  // namespace varnoth
