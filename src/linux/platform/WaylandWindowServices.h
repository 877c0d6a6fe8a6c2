// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

#include "linux/platform/WindowServices.h"

namespace lumi::platform {

// Window services in a Wayland session, through Qt's wayland platform.
//
// Wayland shows a program no window but its own, and leaves stacking, placement and the
// keyboard focus to the compositor: the window search finds nothing, no foreign window can
// be measured or drawn in, and a window is placed by showing it full screen on the output
// (Qt's screen) that holds its rectangle. The compositor keeps a full-screen window above the
// others of its output. Monitors are Qt's screens, one per output, and the running screen
// saver is marked in the flag file of the runtime folder, as on X11 (ScreenSaverFlag.h).
//
// The keyboard focus goes where the compositor puts it, usually to the window mapped last:
// the start-up shows the covers of the other monitors before the display form, and asks for
// the focus for the form.
class WaylandWindowServices final : public WindowServices {
public:
    WaylandWindowServices();
    ~WaylandWindowServices() override;

    NativeWindow findTopLevelWindow(const QString& title) override;
    QRect screenRect() override;
    QList<QRect> monitorRects() override;
    void showTopMost(QWidget& window, const QRect& rect) override;
    void showTopMostWithoutFocus(QWidget& window, const QRect& rect) override;
    bool setScreenSaverRunning(bool running) override;
    bool canDrawInForeignWindows() override;
    // Nothing: no foreign window exists for a Wayland client.
    std::optional<QRect> clientRect(NativeWindow window) override;
    // Does nothing; callers ask canDrawInForeignWindows() first.
    void embed(QWidget& child, NativeWindow host, const QRect& rect) override;

private:
    // Watches the windows shown here, so that a blank cursor hides the compositor's.
    std::unique_ptr<QObject> blankCursorOnEnter_;
};

}  // namespace lumi::platform
