// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace lumi::display {

// A day of the Gregorian calendar, as the display shows it under a photo.
struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to the month's length

    bool operator==(const CalendarDate&) const = default;
};

// True when `year`, `month` and `day` name a day that exists, in year 1 or later.
bool isCalendarDate(int year, int month, int day);

// The day of an EXIF date and time, "YYYY:MM:DD HH:MM:SS", as cameras write DateTimeOriginal
// (only the date part is read; a closing NUL or a missing time is accepted). Empty for
// anything else, and for the "0000:00:00" and the blanks that cameras write when they do not
// know the date.
std::optional<CalendarDate> parseExifDate(std::string_view text);

}  // namespace lumi::display
