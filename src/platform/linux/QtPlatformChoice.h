// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

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

}  // namespace lumi::platform
