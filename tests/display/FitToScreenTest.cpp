// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/FitToScreen.h"

namespace lumi::display {
namespace {

TEST(FitToScreenTest, ShrinksWithItsProportionsAndNeverGrows) {
    struct Case {
        Size picture;
        Size bound;
        Size fitted;
    };
    for (const Case& c : {
             Case{{6000, 4000}, {1920, 1080}, {1620, 1080}},  // too tall for the width
             Case{{5640, 3172}, {1920, 1080}, {1920, 1080}},  // 1079.8 rounds to 1080
             Case{{4000, 1000}, {1920, 1080}, {1920, 480}},   // too wide
             Case{{2000, 1000}, {1920, 1080}, {1920, 960}},   // larger in one direction only
             Case{{1000, 2000}, {1920, 1080}, {540, 1080}},
             Case{{1920, 1080}, {1920, 1080}, {1920, 1080}},  // fits exactly
             Case{{800, 600}, {1920, 1080}, {800, 600}},      // smaller: never grows
             Case{{100000, 1}, {100, 100}, {100, 1}},         // a side never drops to 0
             Case{{1, 100000}, {100, 100}, {1, 100}}, Case{{800, 600}, {}, {800, 600}},  // no bound
             Case{{800, 600}, {-1, -1}, {800, 600}},
         }) {
        EXPECT_EQ(fittedSize(c.picture, c.bound), c.fitted)
            << c.picture.width << "x" << c.picture.height;
    }
}

}  // namespace
}  // namespace lumi::display
