// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/DroppedFiles.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace varnoth {

namespace {

constexpr std::string_view kScheme = "file:";
constexpr std::string_view kAuthority = "//";
constexpr std::string_view kLocalHost = "localhost";

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The bytes a percent-encoded path stands for; nothing when an escape is broken or the path holds a NUL,
// which would cut the name short where the file system takes it.
std::optional<std::string> PercentDecoded(std::string_view encoded) {
    std::string bytes;
    bytes.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\0') {
            return std::nullopt;
        }
        if (encoded[i] != '%') {
            bytes += encoded[i];
            continue;
        }
        const int high = i + 2 < encoded.size() ? HexDigit(encoded[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(encoded[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// The local path a file URI names, or nothing.
std::optional<std::string> LocalPathOf(std::string_view uri) {
    if (!StartsWithIgnoringCase(uri, kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = uri.substr(kScheme.size());
    if (rest.starts_with(kAuthority)) {
        rest.remove_prefix(kAuthority.size());
        const std::size_t pathStart = rest.find('/');
        const std::string_view host = rest.substr(0, pathStart);
        if (pathStart == std::string_view::npos ||
            !(host.empty() ||
              (host.size() == kLocalHost.size() && StartsWithIgnoringCase(host, kLocalHost)))) {
            return std::nullopt;
        }
        rest.remove_prefix(pathStart);
    }
    if (!rest.starts_with('/')) {
        return std::nullopt;
    }
    return PercentDecoded(rest);
}

}  // namespace

std::vector<std::string> LocalFilesOfUriList(std::string_view list) {
    std::vector<std::string> files;
    while (!list.empty()) {
        const std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.starts_with('#')) {
            continue;
        }
        if (std::optional<std::string> path = LocalPathOf(line)) {
            files.push_back(std::move(*path));
        }
    }
    return files;
}

}  // namespace varnoth
