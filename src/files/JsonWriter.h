// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnoth {

// Writes one JSON document from start to end: objects and arrays opened and closed in turn, a member's name
// (Key) before each of its values. Strings go through JsonQuoted, so the program's JSON has one escaping
// rule. A container is laid out inline ({"a": 1, "b": 2}), one item a line ([\n1,\n2\n]) or one item a line
// indented two spaces more than the line it opened on ({\n  "a": 1\n}).
//
// The caller keeps the shape: a Key before every value inside an object and none elsewhere, every container
// closed by its own End. The writer does not check it.
class JsonWriter {
  public:
    enum class Layout { Inline, Lines, Indented };

    JsonWriter& BeginObject(Layout layout = Layout::Inline);
    JsonWriter& EndObject();
    JsonWriter& BeginArray(Layout layout = Layout::Inline);
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(std::int64_t number);
    JsonWriter& Boolean(bool value);
    // A value already written as JSON (an answer embedded in an event), taken as it is.
    JsonWriter& Raw(std::string_view json);

    const std::string& Text() const { return m_text; }

  private:
    struct Level {
        Layout layout;
        std::size_t indent;   // of the container's items
        std::size_t closing;  // of the line the container closes on
        bool empty = true;
    };

    // The separator before a member or an item: a comma after the first, then a space or a new line.
    void Separate();
    void BeforeValue();
    void Open(char bracket, Layout layout);
    void Close(char bracket);

    std::string m_text;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

}  // namespace varnoth
