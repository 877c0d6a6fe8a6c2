// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/platform/QtPlatformChoice.h"

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

// Each display that the chosen platforms could use is asked in their order; the first that
// answers ends the search, and without one every missing display is named.
TEST(QtPlatformChoiceTest, DisplayProblemNamesEveryMissingDisplay) {
    const QString noX11 = "no X11 display (DISPLAY is not set)";
    const QString noWayland = "no Wayland display (WAYLAND_DISPLAY is not set)";
    struct Case {
        SessionEnvironment environment;
        QString x11Display;
        bool x11Answers;
        bool waylandAnswers;
        QString problem;
        QString asked;  // the probes called, in order
    };
    const Case cases[] = {
        {{"", "", ""}, "", false, false, noX11 + " and " + noWayland, "x"},
        {{"", "", ""},
         ":7",
         false,
         false,
         "no X11 display (nothing answers at DISPLAY=:7) and " + noWayland,
         "x"},
        {{"", "", ""}, ":0", true, false, "", "x"},
        {{"", "", "wayland"}, "", false, false, noWayland + " and " + noX11, "wx"},
        {{"", "wayland-1", ""}, "", false, true, "", "w"},
        {{"", "wayland-1", ""},
         ":0",
         false,
         false,
         "no Wayland display (nothing answers at WAYLAND_DISPLAY=wayland-1) and no X11 display "
         "(nothing answers at DISPLAY=:0)",
         "wx"},
        {{"", "wayland-1", ""}, ":0", true, false, "", "wx"},
        // The user's own choice names only what it chose.
        {{"xcb", "", ""}, "", false, false, noX11, "x"},
        {{"wayland", "", ""}, ":0", true, false, noWayland, "w"},
        {{"xcb:nomitshm", "", ""}, ":0", true, false, "", "x"},
        // A platform that needs no display, or one not known here, is the toolkit's to judge.
        {{"offscreen", "", ""}, "", false, false, "", ""},
        {{"xcb;offscreen", "", ""}, "", false, false, "", "x"},
    };
    for (const Case& c : cases) {
        QString asked;
        const DisplayProbes probes{[&] {
                                       asked += 'x';
                                       return c.x11Answers;
                                   },
                                   [&] {
                                       asked += 'w';
                                       return c.waylandAnswers;
                                   }};
        const QString trace = c.environment.qtPlatform + "|" + c.environment.waylandDisplay + "|" +
                              c.environment.sessionType + "|" + c.x11Display;
        EXPECT_EQ(displayProblem(c.environment, c.x11Display, probes), c.problem)
            << qPrintable(trace);
        EXPECT_EQ(asked, c.asked) << qPrintable(trace);
    }
}

}  // namespace
}  // namespace lumi::platform
