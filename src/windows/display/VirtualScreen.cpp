// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/VirtualScreen.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

namespace lumi::display {
namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        // Win32 rectangles end before their right and bottom edges; ours end on them.
        const RECT& area = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(found)->push_back(
            {{area.left, area.top, area.right - 1, area.bottom - 1},
             (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

VirtualScreen coverMonitors(const std::vector<Monitor>& monitors) {
    if (monitors.empty()) {
        return {};
    }
    auto primary = std::find_if(monitors.begin(), monitors.end(),
                                [](const Monitor& monitor) { return monitor.primary; });
    if (primary == monitors.end()) {
        primary = std::find_if(monitors.begin(), monitors.end(), [](const Monitor& monitor) {
            return monitor.area.contains({0, 0});
        });
    }
    if (primary == monitors.end()) {
        primary = monitors.begin();
    }
    VirtualScreen screen;
    for (const Monitor& monitor : monitors) {
        screen.window = screen.window.united(monitor.area);
    }
    const Point toClient = -screen.window.topLeft();
    screen.primary = primary->area.translated(toClient);
    for (auto monitor = monitors.begin(); monitor != monitors.end(); ++monitor) {
        if (monitor != primary) {
            screen.others.push_back(monitor->area.translated(toClient));
        }
    }
    return screen;
}

std::vector<Monitor> attachedMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace lumi::display
