// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOutput.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

namespace varnoth {
namespace {

constexpr int kBarWidth = 40;

std::string Escaped(const std::string& text, bool json) {
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (json && (c == '"' || c == '\\')) {
            result += '\\';
            result += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, json ? "\\u%04x" : "\\x%02x", byte);
            result += code;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

std::string Printable(const std::string& text) {
    return Escaped(text, false);
}

std::string JsonString(const std::string& text) {
    std::string quoted(1, '"');
    quoted += Escaped(text, true);
    quoted += '"';
    return quoted;
}

void PrintFields(std::ostream& out, const std::vector<CliField>& fields, bool json) {
    if (!json) {
        for (const CliField& field : fields) {
            out << field.name << " = ";
            std::visit(
                [&](const auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                        out << Printable(v);
                    } else {
                        out << v;
                    }
                },
                field.value);
            out << "\n";
        }
        return;
    }
    out << "{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out << (i == 0 ? "\n  " : ",\n  ") << JsonString(fields[i].name) << ": ";
        std::visit(
            [&](const auto& v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                    out << JsonString(v);
                } else {
                    out << v;
                }
            },
            fields[i].value);
    }
    out << "\n}\n";
}

void ProgressBar::Show(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (!m_terminal || percent == m_shown) {
        return;
    }
    m_shown = percent;
    const int filled = percent * kBarWidth / 100;
    m_out << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kBarWidth - filled), '-') << "] " << percent << "%"
          << std::flush;
}

void ProgressBar::End(int percent) {
    if (!m_terminal) {
        return;
    }
    Show(percent);
    m_out << "\n" << std::flush;
}

}  // namespace varnoth
