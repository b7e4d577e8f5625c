// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "session/ParameterTable.h"

// A value the user typed in the units a parameter is shown in ("-3 dB", "1.2k", "1200 Hz", "x2", "32:128",
// "OFF"), turned into the raw byte whose shown value lies nearest. The shown texts are the truth: each raw
// value of the range is shown, read back as a number with its unit, and the typed number is compared with
// those, so whatever a label shows can be typed back as it stands.
//
// Accepted: a sign (also the typographic minus "−"), digits with "." or "," as the decimal mark, a unit
// that is the shown one or omitted; kHz or "k" for Hz, s for ms and ms for s; "x" before or after a boost
// factor; "a:b" or the shown ratio's first number alone for a ratio; the words a range shows ("OFF", "-∞"
// also typed "-inf", "Invalid"/"无效" also typed "off") in any case. Full-width forms of these characters
// count as their ASCII twins. A value halfway between two shown values goes to the one further from zero.
namespace varnoth::TypedValue {

// How the raw values of a range are shown; as the parameter table's rows give it.
using ShownFunction = std::string (*)(std::uint8_t raw, int index, int language);

struct Scale {
    ShownFunction shown;
    int index;  // passed to `shown`
    int min;    // raw range, inside 0..255
    int max;
};

// The parameter's own range, or a narrower one (a master volume below its saved maximum).
Scale ScaleOf(const ParameterRef& ref);
Scale ScaleOf(const ParameterRef& ref, int min, int max);
// Raw values shown as plain numbers.
Scale RawScale(int min, int max);

enum class Outcome : std::uint8_t {
    Value,       // raw holds the nearest step
    Unreadable,  // not a number, word or unit of this range
    OutOfRange,  // a number of the right unit outside the shown range
};

struct Result {
    Outcome outcome;
    int raw;  // valid for Outcome::Value
};

// Texts longer than this are refused unread.
inline constexpr std::size_t kMaxTypedBytes = 64;

// Several steps may show the same text; the middle one of them is taken, or `current` when it is one of
// them, so that typing what a label shows changes nothing.
Result Parse(std::string_view typed, const Scale& scale, int current = -1);

// What a refusal tells the user: the lowest and highest numbers shown, and the words the range also
// accepts, in the language (0 Chinese, anything else English).
struct ShownRange {
    std::string low;
    std::string high;
    std::vector<std::string> words;
};
ShownRange RangeOf(const Scale& scale, int language);

}  // namespace varnoth::TypedValue
