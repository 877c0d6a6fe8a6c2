// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace lumi::platform {

// What the environment says about the session the program starts in.
struct SessionEnvironment {
    QString qtPlatform;      // QT_QPA_PLATFORM, as the user set it
    QString waylandDisplay;  // WAYLAND_DISPLAY
    QString sessionType;     // XDG_SESSION_TYPE
};

// The Qt platform for the program, as a value of QT_QPA_PLATFORM: the user's own when set;
// in a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland") Qt's wayland
// platform, with xcb (through XWayland) should that fail; elsewhere xcb.
QString qtPlatformFor(const SessionEnvironment& environment);

// Whether the display of each window system answers. Each is asked at most once, and only
// for a window system that the platform list names.
struct DisplayProbes {
    std::function<bool()> x11;      // an X server answers at DISPLAY
    std::function<bool()> wayland;  // a compositor answers at WAYLAND_DISPLAY (or wayland-0)
};

// Why the platforms of qtPlatformFor(environment) reach no display, tried in their order, as
// one text that names every missing display: "no X11 display (DISPLAY is not set) and no
// Wayland display (WAYLAND_DISPLAY is not set)". Empty when one answers, and when the list
// names a platform other than xcb and wayland, which the toolkit judges itself. When the
// session chose xcb alone, the Wayland display that it lacked is named too. `x11Display` is
// the value of DISPLAY.
QString displayProblem(const SessionEnvironment& environment, const QString& x11Display,
                       const DisplayProbes& probes);

}  // namespace lumi::platform
