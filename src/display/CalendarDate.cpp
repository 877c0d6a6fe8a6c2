// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/CalendarDate.h"

#include <algorithm>
#include <charconv>

namespace lumi::display {
namespace {

std::optional<int> digits(std::string_view text) {
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

bool isCalendarDate(int year, int month, int day) {
    if (year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<CalendarDate> parseExifDate(std::string_view text) {
    if (text.size() < 10 || text[4] != ':' || text[7] != ':') {
        return std::nullopt;
    }
    if (text.size() > 10 && text[10] != ' ' && text[10] != '\0') {
        return std::nullopt;
    }
    const std::optional<int> year = digits(text.substr(0, 4));
    const std::optional<int> month = digits(text.substr(5, 2));
    const std::optional<int> day = digits(text.substr(8, 2));
    if (!year || !month || !day || !isCalendarDate(*year, *month, *day)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

}  // namespace lumi::display
