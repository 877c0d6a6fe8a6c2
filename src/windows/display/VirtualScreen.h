// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "display/Geometry.h"

namespace lumi::display {

// One monitor as the system places it on the virtual screen, whose origin is the top-left of
// the primary monitor: monitors left of or above the primary have negative coordinates.
struct Monitor {
    Rect area;
    bool primary = false;
};

// The display's window over all monitors. The display runs in `primary`, whose size is its
// screen size and whose top-left its origin; `others` show the background.
struct VirtualScreen {
    Rect window;               // the union of all monitors, in virtual-screen coordinates
    Rect primary;              // in the window's client coordinates
    std::vector<Rect> others;  // every other monitor, in client coordinates, in input order
};

// The window that covers every monitor of `monitors`. The primary monitor is the first marked
// so; when none is, the one that holds the virtual screen's origin, or else the first. With
// no monitor at all, every rectangle is empty.
VirtualScreen coverMonitors(const std::vector<Monitor>& monitors);

// The monitors attached to the desktop now, as the system reports them: in physical pixels when
// the process is aware of each monitor's DPI, as the display is, and in the system's scaled
// pixels otherwise.
std::vector<Monitor> attachedMonitors();

}  // namespace lumi::display
