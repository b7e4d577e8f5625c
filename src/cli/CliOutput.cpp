// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOutput.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

namespace varnoth {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

std::string Printable(const std::string& text) {
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            result += code;
        } else {
            result += c;
        }
    }
    return result;
}

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += Printable(text);
    quoted += '"';
    return quoted;
}

void PrintFields(std::ostream& out, const std::vector<CliField>& fields) {
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
