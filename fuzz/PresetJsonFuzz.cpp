// SPDX-License-Identifier: GPL-3.0-or-later
// Any text as a readable preset: the JSON reader and the preset's checks. What they accept is written and
// read again unchanged, and every string they read is written back as JSON that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/JsonValue.h"
#include "files/ReadablePreset.h"

using namespace varnoth;

namespace {

// Every string of the document survives being quoted and read again.
void CheckStrings(const JsonValue& value) {
    if (value.kind == JsonValue::Kind::String) {
        std::string error;
        const auto again = JsonValue::Parse(JsonQuoted(value.text), error);
        if (!again || again->kind != JsonValue::Kind::String || again->text != value.text) {
            std::abort();
        }
    }
    for (const JsonValue& item : value.items) {
        CheckStrings(item);
    }
    for (const JsonMember& member : value.members) {
        JsonValue name;
        name.kind = JsonValue::Kind::String;
        name.text = member.name;
        CheckStrings(name);
        CheckStrings(member.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (const auto document = JsonValue::Parse(text, error)) {
        CheckStrings(*document);
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }

    const ReadablePreset::Parsed parsed = ReadablePreset::Parse(text);
    if (!parsed.problems.empty()) {
        return 0;
    }
    const ReadablePreset::Parsed again = ReadablePreset::Parse(ReadablePreset::ToJson(parsed.values));
    if (!again.problems.empty() || again.values.size() != parsed.values.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < parsed.values.size(); ++i) {
        if (again.values[i].field != parsed.values[i].field || again.values[i].raw != parsed.values[i].raw) {
            std::abort();
        }
    }
    return 0;
}
