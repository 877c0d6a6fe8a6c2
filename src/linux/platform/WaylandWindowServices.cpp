// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/WaylandWindowServices.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include "linux/platform/QtScreens.h"
#include "linux/platform/ScreenSaverFlag.h"

namespace lumi::platform {
namespace {

// Qt's wayland platform (6.4) hides a blank cursor only by taking away a cursor image that it
// set itself. When the cursor is blank before the pointer first enters a window, as the
// display's is, Qt never set one, and the compositor goes on showing its own cursor there.
// Setting an arrow and then the blank cursor again as the pointer enters gives Qt an image
// to take away; both requests reach the compositor together, so the arrow never shows.
class BlankCursorOnEnter final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        if (event->type() == QEvent::Enter && cursor && cursor->shape() == Qt::BlankCursor) {
            QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
            QGuiApplication::changeOverrideCursor(QCursor(Qt::BlankCursor));
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

WaylandWindowServices::WaylandWindowServices()
    : blankCursorOnEnter_(std::make_unique<BlankCursorOnEnter>()) {}

WaylandWindowServices::~WaylandWindowServices() = default;

NativeWindow WaylandWindowServices::findTopLevelWindow(const QString&) {
    return 0;
}

QRect WaylandWindowServices::screenRect() {
    return primaryScreenRect(DisplayScreen::LayoutOrigin);
}

QList<QRect> WaylandWindowServices::monitorRects() {
    return screenRects(DisplayScreen::LayoutOrigin);
}

void WaylandWindowServices::showTopMost(QWidget& window, const QRect& rect) {
    window.installEventFilter(blankCursorOnEnter_.get());
    showFullScreenOn(window, rect);
    window.activateWindow();
}

void WaylandWindowServices::showTopMostWithoutFocus(QWidget& window, const QRect& rect) {
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.installEventFilter(blankCursorOnEnter_.get());
    showFullScreenOn(window, rect);
}

bool WaylandWindowServices::setScreenSaverRunning(bool running) {
    return swapScreenSaverFlag(running);
}

bool WaylandWindowServices::canDrawInForeignWindows() {
    return false;
}

std::optional<QRect> WaylandWindowServices::clientRect(NativeWindow) {
    return std::nullopt;
}

void WaylandWindowServices::embed(QWidget&, NativeWindow, const QRect&) {}

}  // namespace lumi::platform
