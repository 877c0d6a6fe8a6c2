#include "platform/linux/WaylandWindowServices.h"

#include <QWidget>

#include "platform/QtScreens.h"
#include "platform/linux/ScreenSaverFlag.h"

namespace lumi::platform {

NativeWindow WaylandWindowServices::findTopLevelWindow(const QString&) {
    return 0;
}

QRect WaylandWindowServices::screenRect() {
    return primaryScreenRect();
}

QList<QRect> WaylandWindowServices::monitorRects() {
    return screenRects();
}

void WaylandWindowServices::showTopMost(QWidget& window, const QRect& rect) {
    showFullScreenOn(window, rect);
    window.activateWindow();
}

void WaylandWindowServices::showTopMostWithoutFocus(QWidget& window, const QRect& rect) {
    window.setAttribute(Qt::WA_ShowWithoutActivating);
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
