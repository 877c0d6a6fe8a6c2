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

// The primary screen's rectangle at the origin, or an empty one while there is no screen.
// Its size is that of a full-screen window on it.
QRect primaryScreenRect();

// Every screen in the desktop's coordinates, the primary first.
QList<QRect> screenRects();

// Shows `window` borderless and full screen on the screen that holds the centre of `rect`,
// with `extraFlags` besides. The screen is set before the window is shown, so that the
// window system puts the window on that screen and not on another one.
void showFullScreenOn(QWidget& window, const QRect& rect, Qt::WindowFlags extraFlags = {});

}  // namespace lumi::platform
