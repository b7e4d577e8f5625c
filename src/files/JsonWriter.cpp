// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/JsonWriter.h"

#include "files/JsonValue.h"

namespace varnoth {

void JsonWriter::Separate() {
    Level& level = m_levels.back();
    if (!level.empty) {
        m_text += ',';
    }
    if (level.layout == Layout::Inline) {
        m_text += level.empty ? "" : " ";
    } else {
        m_text += '\n';
        m_text.append(level.indent, ' ');
    }
    level.empty = false;
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
    } else if (!m_levels.empty()) {
        Separate();
    }
}

void JsonWriter::Open(char bracket, Layout layout) {
    BeforeValue();
    const std::size_t line = m_levels.empty() ? 0 : m_levels.back().indent;
    m_levels.push_back({layout, layout == Layout::Indented ? line + 2 : line, line});
    m_text += bracket;
}

void JsonWriter::Close(char bracket) {
    const Level level = m_levels.back();
    m_levels.pop_back();
    if (level.layout != Layout::Inline && !level.empty) {
        m_text += '\n';
        m_text.append(level.closing, ' ');
    }
    m_text += bracket;
}

JsonWriter& JsonWriter::BeginObject(Layout layout) {
    Open('{', layout);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    Close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray(Layout layout) {
    Open('[', layout);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    Close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    Separate();
    m_text += JsonQuoted(name);
    m_text += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_text += JsonQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(std::int64_t number) {
    BeforeValue();
    m_text += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::Boolean(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Raw(std::string_view json) {
    BeforeValue();
    m_text += json;
    return *this;
}

}  // namespace varnoth
