// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "display/CalendarDate.h"

namespace lumi::display {
namespace {

TEST(CalendarDateTest, ExifDatesReadAsTheirDayAndNothingElse) {
    const struct {
        std::string text;
        std::optional<CalendarDate> day;
    } cases[] = {
        {"2019:07:14 10:20:30", CalendarDate{2019, 7, 14}},
        {std::string("2019:07:14 10:20:30\0", 20), CalendarDate{2019, 7, 14}},
        {"2019:07:14", CalendarDate{2019, 7, 14}},
        {"2000:02:29 00:00:00", CalendarDate{2000, 2, 29}},
        {"1900:02:29 00:00:00", std::nullopt},  // no such day
        {"2019:04:31 00:00:00", std::nullopt},
        {"0000:00:00 00:00:00", std::nullopt},  // a camera without a clock
        {"    :  :     :  :  ", std::nullopt},
        {"2019-07-14 10:20:30", std::nullopt},
        {"2019:7:14 10:20:30", std::nullopt},
        {"2019:07:14T10:20:30", std::nullopt},
        {"2019:13:01 00:00:00", std::nullopt},
        {"2019:07:1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseExifDate(c.text), c.day) << c.text;
    }
}

}  // namespace
}  // namespace lumi::display
