// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/platform/WindowServices.h"

namespace lumi::platform {

// Window services on X11, through the xcb connection of the Qt application. On any other
// Qt platform (the offscreen one of the unit tests) the window search finds nothing.
//
// Monitors are Qt's screens, which the xcb backend takes from the RandR monitors (also those
// that `xrandr --setmonitor` defines). The running screen saver is marked in the flag file of
// the runtime folder (ScreenSaverFlag.h).
class X11WindowServices final : public WindowServices {
public:
    NativeWindow findTopLevelWindow(const QString& title) override;
    QRect screenRect() override;
    QList<QRect> monitorRects() override;
    void showTopMost(QWidget& window, const QRect& rect) override;
    void showTopMostWithoutFocus(QWidget& window, const QRect& rect) override;
    bool setScreenSaverRunning(bool running) override;
    bool canDrawInForeignWindows() override;
    std::optional<QRect> clientRect(NativeWindow window) override;
    void embed(QWidget& child, NativeWindow host, const QRect& rect) override;
};

}  // namespace lumi::platform
