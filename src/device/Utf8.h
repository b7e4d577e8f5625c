// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace varnoth {

// Appends one Unicode code point to out as UTF-8 (one to four bytes).
void AppendUtf8(std::string& out, char32_t code);

}  // namespace varnoth
