// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/linux/QtPlatformChoice.h"

namespace lumi::platform {
namespace {

TEST(QtPlatformChoiceTest, TheUsersChoiceThenTheSessionDecide) {
    struct Case {
        SessionEnvironment environment;
        QString platform;
    };
    const Case cases[] = {
        {{"", "", ""}, "xcb"},
        {{"", "", "x11"}, "xcb"},
        {{"", "", "tty"}, "xcb"},
        {{"", "wayland-0", ""}, "wayland;xcb"},
        {{"", "wayland-0", "x11"}, "wayland;xcb"},
        {{"", "", "wayland"}, "wayland;xcb"},
        {{"xcb", "wayland-0", "wayland"}, "xcb"},
        {{"offscreen", "", ""}, "offscreen"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qtPlatformFor(c.environment), c.platform)
            << qPrintable(c.environment.qtPlatform) << "|"
            << qPrintable(c.environment.waylandDisplay) << "|"
            << qPrintable(c.environment.sessionType);
    }
}

}  // namespace
}  // namespace lumi::platform
