// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <Qt>

class QWidget;

namespace lumi::platform {

// The screens as Qt reports them, for the window services of every window system. Their
// geometry is in the pixels of the windows shown on them: device pixels, because the display
// modes run with Qt's scaling off (prepareApplication()), except on a Wayland output that the
// compositor scales. There Qt keeps the output's scale whatever is asked, and one window
// pixel covers scale x scale device pixels, as in every other program on that output.

// Which screen the display shows on; every other screen shows the background.
enum class DisplayScreen {
    // Qt's primary screen: on X11 the one that the desktop made primary (RandR).
    Primary,
    // The screen at the origin of the desktop's layout: the topmost, and of those the
    // leftmost. Wayland has no primary output; Qt's primary screen there is merely the first
    // output that the compositor announced, which differs between compositor releases.
    LayoutOrigin,
};

// The display's screen's rectangle at the origin, or an empty one while there is no screen.
// Its size is that of a full-screen window on it.
QRect primaryScreenRect(DisplayScreen which = DisplayScreen::Primary);

// Every screen in the desktop's coordinates, the display's screen first and the others in
// Qt's order.
QList<QRect> screenRects(DisplayScreen which = DisplayScreen::Primary);

// Shows `window` borderless and full screen on the screen that holds the centre of `rect`,
// with `extraFlags` besides. The screen is set before the window is shown, so that the
// window system puts the window on that screen and not on another one.
void showFullScreenOn(QWidget& window, const QRect& rect, Qt::WindowFlags extraFlags = {});

}  // namespace lumi::platform
