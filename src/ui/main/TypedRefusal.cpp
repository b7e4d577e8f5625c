// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TypedRefusal.h"

#include "ui/main/MainWindowTexts.h"

namespace varnoth::mainwin {

namespace {

constexpr Bilingual kOutOfRange{"超出范围：", "Out of range: "};
constexpr Bilingual kUnreadable{"无法识别：", "Not a value: "};
constexpr Bilingual kFrom{"请输入 ", "type a value from "};
constexpr Bilingual kTo{" 到 ", " to "};
constexpr Bilingual kRangeEnd{" 之间的值", ""};
constexpr Bilingual kOr{"，或 ", ", or "};
constexpr Bilingual kWordSeparator{" / ", " / "};

}  // namespace

std::string TypedRefusalText(TypedValue::Outcome outcome, const TypedValue::ShownRange& range, int language) {
    std::string text = (outcome == TypedValue::Outcome::OutOfRange ? kOutOfRange : kUnreadable).In(language);
    text += kFrom.In(language) + range.low + kTo.In(language) + range.high + kRangeEnd.In(language);
    for (std::size_t k = 0; k < range.words.size(); ++k) {
        text += (k == 0 ? kOr : kWordSeparator).In(language) + range.words[k];
    }
    return text;
}

}  // namespace varnoth::mainwin
