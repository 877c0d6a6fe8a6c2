// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/platform/DesktopScale.h"

namespace lumi::platform {
namespace {

TEST(DesktopScaleTest, XftDpiIsFoundAmongTheResources) {
    EXPECT_EQ(xftDpiFromResources("Xft.antialias:\t1\nXft.dpi:\t120\nXft.hinting:\t1\n"), 120.0);
    EXPECT_EQ(xftDpiFromResources("Xcursor.size:\t24\n"), std::nullopt);
    EXPECT_EQ(xftDpiFromResources("Xft.dpi:\tlarge\n"), std::nullopt);
    EXPECT_EQ(xftDpiFromResources("Xft.dpi:\t0\n"), std::nullopt);
}

// The desktop's scale multiplies the user's own factor; at 96 dpi or without Xft.dpi nothing
// is set, so the dialogs keep every pixel (and a user's factor applies alone, as before).
TEST(DesktopScaleTest, TheDialogsScaleByXftDpiTimesTheUsersFactor) {
    struct Case {
        std::optional<double> dpi;
        const char* userFactor;
        std::optional<QByteArray> factor;
    };
    for (const Case& c :
         {Case{120, "", "1.25"}, Case{144, "", "1.5"}, Case{192, "", "2"}, Case{120, "2", "2.5"},
          Case{120, "none", "1.25"}, Case{120, "-1", "1.25"}, Case{96, "", std::nullopt},
          Case{96, "2", std::nullopt}, Case{std::nullopt, "", std::nullopt}}) {
        EXPECT_EQ(dialogScaleFactor(c.dpi, c.userFactor), c.factor)
            << c.dpi.value_or(0) << " " << c.userFactor;
    }
}

}  // namespace
}  // namespace lumi::platform
