// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/JsonValue.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "device/Utf8.h"

namespace varnoth {
namespace {

// A recursive-descent reader over the whole text.
class Reader {
  public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<JsonValue> Document(std::string& error) {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
            m_at = 3;
        }
        JsonValue value;
        if (!Value(value, 0)) {
            error = m_error;
            return std::nullopt;
        }
        SkipSpace();
        if (m_at != m_text.size()) {
            error = Where("unexpected text after the end of the document");
            return std::nullopt;
        }
        return value;
    }

  private:
    bool Fail(const std::string& what) {
        if (m_error.empty()) {
            m_error = Where(what);
        }
        return false;
    }

    std::string Where(const std::string& what) const {
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return what + " at line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    void SkipSpace() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\n' ||
                                        m_text[m_at] == '\r')) {
            ++m_at;
        }
    }

    bool Literal(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) {
            return Fail("unknown word");
        }
        m_at += word.size();
        return true;
    }

    bool Value(JsonValue& value, int depth) {
        SkipSpace();
        if (m_at == m_text.size()) {
            return Fail("unexpected end of the document");
        }
        switch (m_text[m_at]) {
            case '{':
                return Object(value, depth + 1);
            case '[':
                return Array(value, depth + 1);
            case '"':
                value.kind = JsonValue::Kind::String;
                return String(value.text);
            case 't':
                value.kind = JsonValue::Kind::Boolean;
                value.boolean = true;
                return Literal("true");
            case 'f':
                value.kind = JsonValue::Kind::Boolean;
                return Literal("false");
            case 'n':
                return Literal("null");
            default:
                return Number(value);
        }
    }

    bool Object(JsonValue& value, int depth) {
        if (depth > JsonValue::kMaxDepth) {
            return Fail("nesting too deep");
        }
        value.kind = JsonValue::Kind::Object;
        ++m_at;
        SkipSpace();
        if (m_at < m_text.size() && m_text[m_at] == '}') {
            ++m_at;
            return true;
        }
        while (true) {
            SkipSpace();
            if (m_at == m_text.size() || m_text[m_at] != '"') {
                return Fail("a member name in quotes expected");
            }
            JsonMember member;
            if (!String(member.name)) {
                return false;
            }
            SkipSpace();
            if (m_at == m_text.size() || m_text[m_at] != ':') {
                return Fail("':' expected");
            }
            ++m_at;
            if (!Value(member.value, depth)) {
                return false;
            }
            value.members.push_back(std::move(member));
            SkipSpace();
            if (m_at < m_text.size() && m_text[m_at] == ',') {
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] == '}') {
                ++m_at;
                return true;
            }
            return Fail("',' or '}' expected");
        }
    }

    bool Array(JsonValue& value, int depth) {
        if (depth > JsonValue::kMaxDepth) {
            return Fail("nesting too deep");
        }
        value.kind = JsonValue::Kind::Array;
        ++m_at;
        SkipSpace();
        if (m_at < m_text.size() && m_text[m_at] == ']') {
            ++m_at;
            return true;
        }
        while (true) {
            JsonValue item;
            if (!Value(item, depth)) {
                return false;
            }
            value.items.push_back(std::move(item));
            SkipSpace();
            if (m_at < m_text.size() && m_text[m_at] == ',') {
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] == ']') {
                ++m_at;
                return true;
            }
            return Fail("',' or ']' expected");
        }
    }

    bool Hex4(unsigned& code) {
        code = 0;
        for (int i = 0; i < 4; ++i, ++m_at) {
            if (m_at == m_text.size()) {
                return Fail("unfinished \\u escape");
            }
            const char c = m_text[m_at];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return Fail("bad \\u escape");
            }
            code = code * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }

    bool String(std::string& out) {
        ++m_at;
        while (true) {
            if (m_at == m_text.size()) {
                return Fail("unfinished string");
            }
            const char c = m_text[m_at++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at == m_text.size()) {
                return Fail("unfinished string");
            }
            const char escaped = m_text[m_at++];
            switch (escaped) {
                case '"':
                case '\\':
                case '/':
                    out += escaped;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) {
                        return false;
                    }
                    if (code >= 0xD800 && code < 0xDC00) {
                        unsigned low = 0;
                        if (m_text.substr(m_at, 2) != "\\u") {
                            return Fail("lone surrogate in a \\u escape");
                        }
                        m_at += 2;
                        if (!Hex4(low)) {
                            return false;
                        }
                        if (low < 0xDC00 || low >= 0xE000) {
                            return Fail("lone surrogate in a \\u escape");
                        }
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code < 0xE000) {
                        return Fail("lone surrogate in a \\u escape");
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    return Fail("unknown escape in a string");
            }
        }
    }

    bool Digits() {
        const std::size_t first = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            ++m_at;
        }
        return m_at > first;
    }

    bool Number(JsonValue& value) {
        const std::size_t first = m_at;
        if (m_text[m_at] == '-') {
            ++m_at;
        }
        if (m_at < m_text.size() && m_text[m_at] == '0') {
            ++m_at;
        } else if (!Digits()) {
            return Fail(m_at == first ? "a value expected" : "digits expected");
        }
        bool whole = true;
        if (m_at < m_text.size() && m_text[m_at] == '.') {
            ++m_at;
            whole = false;
            if (!Digits()) {
                return Fail("digits expected after '.'");
            }
        }
        if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
            ++m_at;
            whole = false;
            if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) {
                ++m_at;
            }
            if (!Digits()) {
                return Fail("digits expected in the exponent");
            }
        }
        const std::string literal(m_text.substr(first, m_at - first));
        value.kind = JsonValue::Kind::Number;
        value.number = std::strtod(literal.c_str(), nullptr);
        if (whole) {
            std::int64_t integer = 0;
            const auto [end, status] =
                std::from_chars(literal.data(), literal.data() + literal.size(), integer);
            if (status == std::errc{} && end == literal.data() + literal.size()) {
                value.whole = integer;
            }
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::string m_error;
};

}  // namespace

std::optional<JsonValue> JsonValue::Parse(std::string_view text, std::string& error) {
    return Reader(text).Document(error);
}

std::string JsonQuoted(std::string_view text) {
    std::string quoted(1, '"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", byte);
            quoted += code;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace varnoth
