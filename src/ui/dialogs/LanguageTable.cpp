// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/LanguageTable.h"

#include <algorithm>
#include <cctype>

namespace varnoth {

namespace {

constexpr std::string_view kSection = "string";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

LanguageTable LanguageTable::Parse(std::string_view text) {
    LanguageTable table;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    bool inSection = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.substr(0, 2) == "//") {
            continue;
        }
        if (line.front() == '[') {
            const auto close = line.find(']');
            inSection = close != std::string_view::npos && Lower(Trim(line.substr(1, close - 1))) == kSection;
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        if (!key.empty()) {
            table.m_entries.try_emplace(Lower(key), Trim(line.substr(equals + 1)));
        }
    }
    return table;
}

std::string LanguageTable::Lookup(std::string_view key) const {
    const auto found = m_entries.find(Lower(key));
    return found == m_entries.end() ? std::string() : found->second;
}

std::string LanguageTable::TitleKey(int templateNumber) {
    return "IDD" + std::to_string(templateNumber) + "_title";
}

std::string LanguageTable::ControlKey(int templateNumber, int controlId) {
    return "IDD" + std::to_string(templateNumber) + "_" + std::to_string(controlId);
}

}  // namespace varnoth
