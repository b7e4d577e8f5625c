// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "files/JsonValue.h"
#include "files/JsonWriter.h"

namespace varnoth {
namespace {

using Layout = JsonWriter::Layout;

TEST(JsonWriter, LaysOutEachContainerAsAskedWhateverItsDepth) {
    struct Case {
        const char* what;
        std::string written;
        std::string expected;
    };
    const auto nested = [](Layout outer, Layout inner) {
        JsonWriter json;
        json.BeginObject(outer).Key("a").Number(1).Key("b").BeginArray(inner).Number(2).BeginObject();
        json.Key("c").Boolean(true).EndObject().EndArray().Key("d").BeginObject(inner).EndObject();
        return json.EndObject().Text();
    };
    const Case cases[] = {
        {"inline in inline", nested(Layout::Inline, Layout::Inline),
         R"({"a": 1, "b": [2, {"c": true}], "d": {}})"},
        {"one a line in inline", nested(Layout::Inline, Layout::Lines),
         "{\"a\": 1, \"b\": [\n2,\n{\"c\": true}\n], \"d\": {}}"},
        {"indented in indented", nested(Layout::Indented, Layout::Indented),
         "{\n  \"a\": 1,\n  \"b\": [\n    2,\n    {\"c\": true}\n  ],\n  \"d\": {}\n}"},
        {"inline in indented", nested(Layout::Indented, Layout::Inline),
         "{\n  \"a\": 1,\n  \"b\": [2, {\"c\": true}],\n  \"d\": {}\n}"},
        {"empty containers", JsonWriter().BeginArray(Layout::Lines).BeginArray().EndArray().EndArray().Text(),
         "[\n[]\n]"},
        {"an answer embedded as it is",
         JsonWriter().BeginObject().Key("body").Raw("{\"x\":  [1]}\n").Key("n").Number(2).EndObject().Text(),
         "{\"body\": {\"x\":  [1]}\n, \"n\": 2}"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.written, c.expected) << c.what;
        std::string error;
        EXPECT_TRUE(JsonValue::Parse(c.written, error)) << c.what << ": " << error;
    }
}

TEST(JsonWriter, EscapesStringsAndNamesAsTheProgramsEscaperDoes) {
    struct Case {
        const char* what;
        std::string text;
        std::string quoted;
    };
    const Case cases[] = {
        {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
        {"control characters", std::string("\x01\x1F\n\t\r") + '\0',
         R"("\u0001\u001f\u000a\u0009\u000d\u0000")"},
        {"delete", "\x7F", R"("\u007f")"},
        {"a slash is kept", "a/b", R"("a/b")"},
        {"UTF-8 kept", "话筒 \xF0\x9F\x8E\xB5", "\"话筒 \xF0\x9F\x8E\xB5\""},
        {"bytes that are not UTF-8 kept as they are", "\xFF\xE2\x88 \xC3\x28", "\"\xFF\xE2\x88 \xC3\x28\""},
    };
    for (const Case& c : cases) {
        JsonWriter json;
        json.BeginArray().String(c.text).BeginObject().Key(c.text).String("").EndObject().EndArray();
        EXPECT_EQ(json.Text(), "[" + c.quoted + ", {" + c.quoted + ": \"\"}]") << c.what;
        EXPECT_EQ(JsonQuoted(c.text), c.quoted) << c.what;
        std::string error;
        const std::optional<JsonValue> read = JsonValue::Parse(json.Text(), error);
        ASSERT_TRUE(read) << c.what << ": " << error;
        EXPECT_EQ(read->items[0].text, c.text) << c.what << ": the reader gets the text back";
        EXPECT_EQ(read->items[1].members[0].name, c.text) << c.what << ": the reader gets the name back";
    }
}

TEST(JsonWriter, WritesWholeNumbersAndTruthValuesExactly) {
    constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    JsonWriter json;
    json.BeginArray().Number(0).Number(-1).Number(std::uint8_t{255}).Number(kLeast).Number(kMost);
    json.Boolean(true).Boolean(false).EndArray();
    EXPECT_EQ(json.Text(), "[0, -1, 255, -9223372036854775808, 9223372036854775807, true, false]");
    std::string error;
    const std::optional<JsonValue> read = JsonValue::Parse(json.Text(), error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->items[3].whole, kLeast);
    EXPECT_EQ(read->items[4].whole, kMost);
}

}  // namespace
}  // namespace varnoth
