// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/JsonValue.h"
#include "files/ReadablePreset.h"

namespace varnoth {
namespace {

TEST(ReadablePreset, EveryBitOfTheFileBelongsToExactlyOneField) {
    PresetSet covered;
    for (const PresetField& field : PresetField::All()) {
        if (field.IsVolume()) {
            continue;
        }
        PresetSet alone;
        field.Put(alone, 0xFF);
        for (std::size_t i = 0; i < alone.image.size(); ++i) {
            EXPECT_EQ(alone.image[i] & covered.image[i], 0) << field.Name() << " shares byte " << i;
            covered.image[i] |= alone.image[i];
        }
    }
    for (std::size_t i = 0; i < covered.image.size(); ++i) {
        EXPECT_EQ(covered.image[i], 0xFF) << "bits of byte " << i << " belong to no field";
    }
}

TEST(ReadablePreset, ASetWrittenAndReadBackKeepsEveryValue) {
    std::mt19937 random(7);
    PresetSet set;
    set.hasVolumes = true;
    for (const PresetField& field : PresetField::All()) {
        field.Put(set, std::uniform_int_distribution<int>(field.Min(), field.Max())(random));
    }
    const std::string json = ReadablePreset::ToJson(ReadablePreset::Values(set));
    const ReadablePreset::Parsed parsed = ReadablePreset::Parse(json);
    ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front();
    PresetSet back;
    ReadablePreset::Apply(parsed.values, back);
    EXPECT_EQ(back.image, set.image);
    EXPECT_EQ(back.volumes, set.volumes);
    EXPECT_NE(json.find("\"MicGEQ.9\": {\"raw\": "), std::string::npos) << json;
    EXPECT_EQ(PresetField::Find("EffectLevel.1")->Shown(0), "-\xE2\x88\x9E") << "shown as on the panel";
    EXPECT_EQ(PresetField::Find("IR.Key.2")->Shown(0x5A), "0x5A");
}

TEST(ReadablePreset, PartsOfAPresetChangeOnlyTheirValuesAndTheShownTextIsNotRead) {
    PresetSet set = ReadablePreset::Defaults();
    const PresetSet before = set;
    const ReadablePreset::Parsed parsed = ReadablePreset::Parse(
        R"({"MicGEQ.3": {"raw": 66, "shown": "whatever"}, "Machine.PowerMicVol": 255, "MicVol": {"raw": 30}})");
    ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front();
    ReadablePreset::Apply(parsed.values, set);
    EXPECT_EQ(set.image[72 + 3], 66);
    EXPECT_EQ(set.image[114 + 1], 255) << "a power-on volume may be off";
    EXPECT_EQ(set.volumes[0], 30);
    set.image[72 + 3] = before.image[72 + 3];
    set.image[114 + 1] = before.image[114 + 1];
    EXPECT_EQ(set.image, before.image);
}

TEST(ReadablePreset, BadPresetsAreRefusedNamingEveryProblem) {
    struct Case {
        const char* json;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {"", {"not JSON: unexpected end of the document at line 1, column 1"}},
        {"[1]", {"a preset is one JSON object of \"NAME\": {\"raw\": VALUE} members"}},
        {"{\"MicVol\": 12,\n \"MicVol\": 1", {"not JSON: ',' or '}' expected at line 2, column 13"}},
        {R"({"MicVol": 37, "MicGEQ.10": 64, "Machine.Lock_MicVol": 2, "Machine.PowerMicVol": 254})",
         {"MicVol = 37 is outside 0..36", "unknown name \"MicGEQ.10\"",
          "Machine.Lock_MicVol = 2 is outside 0..1",
          "Machine.PowerMicVol = 254 is outside 0..36 or 255 (off)"}},
        {R"({"SubGEQ.0": 64, "SubGEQ.0": 64, "IR.Key.1": -1, "Reserved.64": 256})",
         {"SubGEQ.0 is given twice", "IR.Key.1 = -1 is outside 0..255",
          "Reserved.64 = 256 is outside 0..255"}},
        {R"({"MicGEQ.1": 64.5, "MicGEQ.2": "64", "MicGEQ.3": {"shown": "+0dB"}, "MicGEQ.4": {"raw": 64, "rwa": 1}})",
         {"MicGEQ.1 needs a whole number as its raw value", "MicGEQ.2 needs a whole number as its raw value",
          "MicGEQ.3 needs a whole number as its raw value", "MicGEQ.4 has an unknown member \"rwa\""}},
        {R"({"MicVol": 99999999999999999999, "SubVol": {"raw": 1, "raw": 2}})",
         {"MicVol needs a whole number as its raw value", "SubVol gives its raw value twice"}},
    };
    for (const Case& c : cases) {
        const ReadablePreset::Parsed parsed = ReadablePreset::Parse(c.json);
        EXPECT_EQ(parsed.problems, c.problems) << c.json;
        EXPECT_TRUE(parsed.values.empty()) << c.json;
    }
}

TEST(JsonValue, ReadsStandardJsonAndRefusesWhatIsNot) {
    std::string error;
    const auto value = JsonValue::Parse(
        "\xEF\xBB\xBF {\"a\\u00e9\\ud83c\\udfb5\": [true, false, null, -0, 1e2, "
        "\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"]}",
        error);
    ASSERT_TRUE(value) << error;
    ASSERT_EQ(value->members.size(), 1u);
    EXPECT_EQ(value->members[0].name, "a\xC3\xA9\xF0\x9F\x8E\xB5");
    const auto& items = value->members[0].value.items;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[3].whole, 0);
    EXPECT_FALSE(items[4].whole.has_value()) << "1e2 is not written as a whole number";
    EXPECT_EQ(items[4].number, 100);
    EXPECT_EQ(items[5].text, "\"\\/\b\f\n\r\t");

    for (const std::string& bad :
         std::vector<std::string>{"{", "{\"a\" 1}", "[1,]", "01", "1.", "\"\\ud800\"", "\"\\x\"", "\"a\nb\"",
                                  "tru", "{} {}", std::string(JsonValue::kMaxDepth + 1, '[')}) {
        EXPECT_FALSE(JsonValue::Parse(bad, error)) << bad;
    }
    EXPECT_TRUE(JsonValue::Parse(
        std::string(JsonValue::kMaxDepth, '[') + std::string(JsonValue::kMaxDepth, ']'), error))
        << error;
    EXPECT_EQ(JsonQuoted("a\"b\\c\x01\xE2\x88\x9E"), "\"a\\\"b\\\\c\\u0001\xE2\x88\x9E\"");
}

}  // namespace
}  // namespace varnoth
