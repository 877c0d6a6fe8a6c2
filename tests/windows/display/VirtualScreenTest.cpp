// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "windows/display/VirtualScreen.h"

namespace lumi::display {
namespace {

Rect area(int left, int top, int width, int height) {
    return Rect::fromSize({left, top}, {width, height});
}

TEST(VirtualScreenTest, TheWindowCoversEveryMonitorAndThePrimaryKeepsItsPlaceInIt) {
    const struct {
        const char* layout;
        std::vector<Monitor> monitors;
        VirtualScreen expected;
    } cases[] = {
        // clang-format off
        {"one", {{area(0, 0, 1920, 1080), true}}, {area(0, 0, 1920, 1080), area(0, 0, 1920, 1080), {}}},
        {"second right",
         {{area(0, 0, 1920, 1080), true}, {area(1920, 0, 1280, 1024)}},
         {area(0, 0, 3200, 1080), area(0, 0, 1920, 1080), {area(1920, 0, 1280, 1024)}}},
        {"second left",
         {{area(-1280, 0, 1280, 1024)}, {area(0, 0, 1920, 1080), true}},
         {area(-1280, 0, 3200, 1080), area(1280, 0, 1920, 1080), {area(0, 0, 1280, 1024)}}},
        {"second above, none marked",
         {{area(200, -900, 1600, 900)}, {area(0, 0, 1920, 1080)}},
         {area(0, -900, 1920, 1980), area(0, 900, 1920, 1080), {area(200, 0, 1600, 900)}}},
        {"portrait left, reaching above and below",
         {{area(0, 0, 1920, 1080), true}, {area(-1080, -400, 1080, 1920)}},
         {area(-1080, -400, 3000, 1920), area(1080, 400, 1920, 1080), {area(0, 0, 1080, 1920)}}},
        {"three",
         {{area(-1920, 0, 1920, 1080)}, {area(0, 0, 2560, 1440), true}, {area(2560, -200, 1080, 1920)}},
         {area(-1920, -200, 5560, 1920), area(1920, 200, 2560, 1440),
          {area(0, 200, 1920, 1080), area(4480, 0, 1080, 1920)}}},
        // clang-format on
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.layout);
        const VirtualScreen screen = coverMonitors(test.monitors);
        EXPECT_EQ(screen.window, test.expected.window);
        EXPECT_EQ(screen.primary, test.expected.primary);
        EXPECT_EQ(screen.others, test.expected.others);
    }
    EXPECT_TRUE(coverMonitors({}).window.isEmpty());
}

}  // namespace
}  // namespace lumi::display
