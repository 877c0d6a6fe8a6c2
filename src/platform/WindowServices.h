#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace lumi::platform {

// A native window handle (an X11 window id, a Windows HWND). 0 names no window.
using NativeWindow = quint64;

// The window services of the desktop that the start-up and the display rely on.
// One implementation per platform; tests use a fake.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // The top-level window whose title is exactly `title`, or 0 when there is none.
    // A failing search counts as finding no window.
    virtual NativeWindow findTopLevelWindow(const QString& title) = 0;

    // The screen rectangle in device pixels (the primary screen, at the origin).
    virtual QRect screenRect() = 0;

    // Places `window` borderless and above all other windows over `rect` and shows it.
    virtual void showTopMost(QWidget& window, const QRect& rect) = 0;

    // Tells the desktop whether a screen saver runs; returns the previous state.
    virtual bool setScreenSaverRunning(bool running) = 0;
};

}  // namespace lumi::platform
