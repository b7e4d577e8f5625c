// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoth {

struct JsonMember;

// A JSON document read whole: objects keep their members in file order (duplicates included, so that a
// reader can refuse them), numbers keep whether they were written as whole numbers.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::optional<std::int64_t> whole;  // the number, when written without fraction or exponent and in range
    std::string text;
    std::vector<JsonValue> items;
    std::vector<JsonMember> members;

    // Parses a whole document (RFC 8259; a UTF-8 byte order mark is skipped). Nesting deeper than
    // kMaxDepth is refused. On failure, error says what and where ("line L, column C").
    static std::optional<JsonValue> Parse(std::string_view text, std::string& error);
    static constexpr int kMaxDepth = 64;
};

struct JsonMember {
    std::string name;
    JsonValue value;
};

// A JSON string literal with quotes; control characters, quotes and backslashes escaped, UTF-8 kept.
std::string JsonQuoted(std::string_view text);

}  // namespace varnoth
