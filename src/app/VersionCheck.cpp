#include "app/VersionCheck.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <tuple>

namespace varnoth::mainwin {

namespace {

std::optional<int> Number(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

struct Date {
    int year, month, day;
    auto Tie() const { return std::tie(year, month, day); }
};

// Year, month and day from characters 0..3, 5..6 and 8..9.
std::optional<Date> ParseDate(const std::string& text) {
    if (text.size() < 10) {
        return std::nullopt;
    }
    const std::string_view view(text);
    const auto year = Number(view.substr(0, 4));
    const auto month = Number(view.substr(5, 2));
    const auto day = Number(view.substr(8, 2));
    if (!year || !month || !day || *year < 1900 || *month < 1 || *month > 12 || *day < 1) {
        return std::nullopt;
    }
    constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    const int days = *month == 2 && !leap ? 28 : kDays[*month - 1];
    if (*day > days) {
        return std::nullopt;
    }
    return Date{*year, *month, *day};
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace

int FirmwareCheck(const std::string& deviceName, const std::string& deviceDate,
                  const std::string& imageDate) {
    if (!SameIgnoringCase(deviceName, kSupportedModel)) {
        return -2;
    }
    const std::optional<Date> device = ParseDate(deviceDate);
    const std::optional<Date> image = ParseDate(imageDate);
    if (!device || !image || device->Tie() == image->Tie()) {
        return 0;
    }
    return device->Tie() < image->Tie() ? 1 : -1;
}

}  // namespace varnoth::mainwin
