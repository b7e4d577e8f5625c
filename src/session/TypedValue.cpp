// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/TypedValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "device/Utf8.h"
#include "session/ValueFormat.h"

namespace varnoth::TypedValue {

namespace {

constexpr int kChinese = 0;
constexpr int kEnglish = 1;

// Characters a keyboard or an input method gives for the ASCII ones the reader knows.
struct Substitute {
    char32_t from;
    char to;
};
constexpr Substitute kSubstitutes[] = {
    {U'\u2212', '-'},  // minus sign
    {U'\u2013', '-'},  // en dash
    {U'\uFE63', '-'},  // small hyphen-minus
    {U'\u00D7', 'x'},  // multiplication sign
    {U'\u3002', '.'},  // ideographic full stop
    {U'\u00A0', ' '},  // no-break space
    {U'\u2009', ' '},  // thin space
    {U'\u202F', ' '},  // narrow no-break space
    {U'\u3000', ' '},  // ideographic space
};
constexpr char32_t kFullWidthFirst = U'\uFF01';
constexpr char32_t kFullWidthLast = U'\uFF5E';
constexpr char32_t kFullWidthOffset = 0xFEE0;

// Words typed for the words a range shows.
struct Alias {
    const char* typed;
    const char* shown;
};
constexpr Alias kAliases[] = {
    {"-inf", "-\u221e"},
    {"-infinity", "-\u221e"},
    {"off", "invalid"},
};

// The next code point of UTF-8 text; a byte that starts no valid sequence stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = 1;
    char32_t c = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        c = lead & 0x07;
    } else if (lead >= 0xE0) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xC0) {
        length = 2;
        c = lead & 0x1F;
    }
    if (length == 1 || at + length > text.size()) {
        ++at;
        return lead;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        c = (c << 6) | (next & 0x3F);
    }
    at += length;
    return c;
}

// Lower-case ASCII with the substitutes applied and the outer spaces removed.
std::string Normalised(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = NextCodePoint(text, at);
        if (c >= kFullWidthFirst && c <= kFullWidthLast) {
            c -= kFullWidthOffset;
        }
        for (const Substitute& substitute : kSubstitutes) {
            if (c == substitute.from) {
                c = static_cast<unsigned char>(substitute.to);
            }
        }
        if (c >= 'A' && c <= 'Z') {
            c += 'a' - 'A';
        }
        AppendUtf8(out, c);
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(' ') + 1 - first);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsDecimalMark(char c) {
    return c == '.' || c == ',';
}

bool StartsNumber(std::string_view s, std::size_t at) {
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
        ++at;
    }
    if (at < s.size() && IsDecimalMark(s[at])) {
        ++at;
    }
    return at < s.size() && IsDigit(s[at]);
}

std::size_t SkipSpaces(std::string_view s, std::size_t at) {
    while (at < s.size() && s[at] == ' ') {
        ++at;
    }
    return at;
}

// A decimal number with an optional sign and one decimal mark; `at` moves past it.
std::optional<double> ReadNumber(std::string_view s, std::size_t& at) {
    bool negative = false;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
        negative = s[at] == '-';
        ++at;
    }
    std::string digits;
    std::string fraction;
    bool mark = false;
    for (; at < s.size(); ++at) {
        if (IsDigit(s[at])) {
            (mark ? fraction : digits) += s[at];
        } else if (IsDecimalMark(s[at]) && !mark) {
            mark = true;
        } else {
            break;
        }
    }
    if (digits.empty() && fraction.empty()) {
        return std::nullopt;
    }
    const std::string text = (digits.empty() ? "0" : digits) + (fraction.empty() ? "" : "." + fraction);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// A text read as a number with its unit, a ratio or a word.
struct Reading {
    enum class Kind : std::uint8_t { Number, Ratio, Word } kind;
    double value;        // the number; a ratio's quotient
    double denominator;  // a ratio's second number
    std::string unit;    // a number's unit; the word itself
};

std::optional<Reading> Read(const std::string& s) {
    std::size_t at = 0;
    bool timesPrefix = false;
    if (!s.empty() && s[0] == 'x' && StartsNumber(s, SkipSpaces(s, 1))) {
        timesPrefix = true;
        at = SkipSpaces(s, 1);
    }
    if (!StartsNumber(s, at)) {
        return Reading{Reading::Kind::Word, 0.0, 0.0, s};
    }
    const std::optional<double> first = ReadNumber(s, at);
    if (!first) {
        return std::nullopt;
    }
    at = SkipSpaces(s, at);
    if (at < s.size() && s[at] == ':') {
        at = SkipSpaces(s, at + 1);
        const std::optional<double> second = ReadNumber(s, at);
        if (timesPrefix || !second || !(*second > 0.0) || at != s.size()) {
            return std::nullopt;
        }
        return Reading{Reading::Kind::Ratio, *first / *second, *second, {}};
    }
    std::string unit(s.substr(at));
    if (timesPrefix) {
        if (!unit.empty()) {
            return std::nullopt;
        }
        // A string of its own: GCC 12 warns (-Wrestrict) about assigning a literal here.
        unit = std::string(1, 'x');
    }
    return Reading{Reading::Kind::Number, *first, 0.0, unit};
}

// What one of `shown`'s units is in the unit a value of the range shows, or nothing for a unit that does
// not belong there.
std::optional<double> UnitFactor(const std::string& typed, const std::string& shown) {
    if (typed.empty() || typed == shown) {
        return 1.0;
    }
    struct Conversion {
        const char* shown;
        const char* typed;
        double factor;
    };
    static constexpr Conversion kConversions[] = {
        {"hz", "khz", 1000.0},
        {"hz", "k", 1000.0},
        {"ms", "s", 1000.0},
        {"s", "ms", 0.001},
    };
    for (const Conversion& conversion : kConversions) {
        if (shown == conversion.shown && typed == conversion.typed) {
            return conversion.factor;
        }
    }
    return std::nullopt;
}

struct Candidate {
    int raw;
    Reading reading;
};

// The range's shown values read back; words in both languages.
struct ReadScale {
    std::vector<Candidate> numbers;
    std::vector<Candidate> words;
};

ReadScale ReadBack(const Scale& scale) {
    ReadScale read;
    for (int raw = std::max(scale.min, 0); raw <= std::min(scale.max, 255); ++raw) {
        const auto byte = static_cast<std::uint8_t>(raw);
        for (const int language : {kEnglish, kChinese}) {
            const std::optional<Reading> reading = Read(Normalised(scale.shown(byte, scale.index, language)));
            if (!reading) {
                continue;
            }
            if (reading->kind == Reading::Kind::Word) {
                read.words.push_back({raw, *reading});
            } else if (language == kEnglish) {
                read.numbers.push_back({raw, *reading});
            }
        }
    }
    return read;
}

bool Near(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

std::string RawShown(std::uint8_t raw, int, int) {
    return ValueFormat::RawText(raw);
}

}  // namespace

Scale ScaleOf(const ParameterRef& ref) {
    return ScaleOf(ref, ref.param->min, ref.param->max);
}

Scale ScaleOf(const ParameterRef& ref, int min, int max) {
    return {ref.param->shown, ref.index, min, max};
}

Scale RawScale(int min, int max) {
    return {RawShown, 0, min, max};
}

Result Parse(std::string_view typed, const Scale& scale, int current) {
    const Result unreadable{Outcome::Unreadable, 0};
    if (typed.size() > kMaxTypedBytes) {
        return unreadable;
    }
    const std::string text = Normalised(typed);
    const std::optional<Reading> reading = Read(text);
    if (text.empty() || !reading) {
        return unreadable;
    }
    const ReadScale read = ReadBack(scale);
    if (reading->kind == Reading::Kind::Word) {
        std::string word = reading->unit;
        for (const Alias& alias : kAliases) {
            if (word == alias.typed) {
                word = alias.shown;
            }
        }
        const Candidate* match = nullptr;
        for (const Candidate& candidate : read.words) {
            if (candidate.reading.unit == word || candidate.reading.unit == reading->unit) {
                if (match == nullptr || candidate.raw == current) {
                    match = &candidate;
                }
            }
        }
        return match == nullptr ? unreadable : Result{Outcome::Value, match->raw};
    }
    if (read.numbers.empty()) {
        return unreadable;
    }
    const Reading& shown = read.numbers.front().reading;
    double value = reading->value;
    if (shown.kind == Reading::Kind::Ratio) {
        if (reading->kind == Reading::Kind::Number) {
            if (!reading->unit.empty()) {
                return unreadable;
            }
            value /= shown.denominator;
        }
    } else {
        if (reading->kind == Reading::Kind::Ratio) {
            return unreadable;
        }
        const std::optional<double> factor = UnitFactor(reading->unit, shown.unit);
        if (!factor) {
            return unreadable;
        }
        value *= *factor;
    }
    const auto [lowest, highest] = std::minmax_element(
        read.numbers.begin(), read.numbers.end(),
        [](const Candidate& a, const Candidate& b) { return a.reading.value < b.reading.value; });
    if ((value < lowest->reading.value && !Near(value, lowest->reading.value)) ||
        (value > highest->reading.value && !Near(value, highest->reading.value))) {
        return {Outcome::OutOfRange, 0};
    }
    const Candidate* best = nullptr;
    double bestDistance = 0.0;
    for (const Candidate& candidate : read.numbers) {
        const double distance = std::fabs(candidate.reading.value - value);
        const bool closer = best == nullptr || (distance < bestDistance && !Near(distance, bestDistance));
        const bool tieFurtherOut = best != nullptr && Near(distance, bestDistance) &&
                                   std::fabs(candidate.reading.value) > std::fabs(best->reading.value) &&
                                   !Near(candidate.reading.value, best->reading.value);
        if (closer || tieFurtherOut) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    // Steps that show alike: the middle one of the run, whose own value lies nearest what they show.
    const auto* first = best;
    const auto* last = best;
    while (first != read.numbers.data() && Near((first - 1)->reading.value, best->reading.value)) {
        --first;
    }
    while (last + 1 != read.numbers.data() + read.numbers.size() &&
           Near((last + 1)->reading.value, best->reading.value)) {
        ++last;
    }
    const Candidate* chosen = first + (last - first + 1) / 2;
    if (current >= scale.min && current <= scale.max && current >= first->raw && current <= last->raw) {
        chosen = nullptr;
    }
    return {Outcome::Value, chosen == nullptr ? current : chosen->raw};
}

ShownRange RangeOf(const Scale& scale, int language) {
    const ReadScale read = ReadBack(scale);
    ShownRange range;
    const auto shown = [&](int raw) {
        return scale.shown(static_cast<std::uint8_t>(raw), scale.index, language);
    };
    if (!read.numbers.empty()) {
        const auto [lowest, highest] = std::minmax_element(
            read.numbers.begin(), read.numbers.end(),
            [](const Candidate& a, const Candidate& b) { return a.reading.value < b.reading.value; });
        range.low = shown(lowest->raw);
        range.high = shown(highest->raw);
    }
    for (const Candidate& candidate : read.words) {
        std::string word = shown(candidate.raw);
        const std::optional<Reading> reading = Read(Normalised(word));
        if (reading && reading->kind == Reading::Kind::Word &&
            std::find(range.words.begin(), range.words.end(), word) == range.words.end()) {
            range.words.push_back(std::move(word));
        }
    }
    return range;
}

}  // namespace varnoth::TypedValue
