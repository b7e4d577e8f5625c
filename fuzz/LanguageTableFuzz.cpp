// SPDX-License-Identifier: GPL-3.0-or-later
// Language-table text into the parser, then a look-up of keys it may or may not hold.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/dialogs/LanguageTable.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LanguageTable table = LanguageTable::Parse(text);
    volatile std::size_t sink = table.Lookup(LanguageTable::TitleKey(180)).size() +
                                table.Lookup(LanguageTable::ControlKey(180, 1097)).size() +
                                table.Lookup(text.substr(0, 16)).size();
    (void)sink;
    return 0;
}
