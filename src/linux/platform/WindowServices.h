// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <optional>

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

    // The screen rectangle (the primary screen, at the origin) in the pixels of a window on
    // it: device pixels, but for a Wayland output that the compositor scales.
    virtual QRect screenRect() = 0;

    // Every monitor of the desktop in the pixels of screenRect() and in the desktop's coordinates,
    // the primary monitor first; at least one rectangle while a screen exists.
    virtual QList<QRect> monitorRects() = 0;

    // Places `window` borderless and above all other windows over `rect` and shows it.
    virtual void showTopMost(QWidget& window, const QRect& rect) = 0;

    // Like showTopMost(), but showing `window` neither activates it nor takes the keyboard
    // focus from the window that holds it: for windows that only cover a monitor.
    virtual void showTopMostWithoutFocus(QWidget& window, const QRect& rect) = 0;

    // Tells the desktop whether a screen saver runs; returns the previous state.
    virtual bool setScreenSaverRunning(bool running) = 0;

    // Whether a window of another program can be measured and drawn in (clientRect() and
    // embed()). Not on Wayland, where a program sees no window but its own.
    virtual bool canDrawInForeignWindows() = 0;

    // The client rectangle of `window` (at the origin), or nothing when no such window
    // exists. This is also how callers learn that a window has gone away.
    virtual std::optional<QRect> clientRect(NativeWindow window) = 0;

    // Makes `child` a child window of the foreign window `host`, placed over `rect` of the
    // host's client area, and shows it without taking the focus or changing the stacking
    // order.
    virtual void embed(QWidget& child, NativeWindow host, const QRect& rect) = 0;
};

}  // namespace lumi::platform
