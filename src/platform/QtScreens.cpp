// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lumi::platform {

QRect primaryScreenRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {};
    }
    return {QPoint(0, 0), screen->size()};
}

QList<QRect> screenRects() {
    QList<QRect> rects;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        rects.append(primary->geometry());
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            rects.append(screen->geometry());
        }
    }
    return rects;
}

void showFullScreenOn(QWidget& window, const QRect& rect, Qt::WindowFlags extraFlags) {
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | extraFlags);
    if (QScreen* screen = QGuiApplication::screenAt(rect.center())) {
        window.setScreen(screen);
    }
    window.setGeometry(rect);
    window.showFullScreen();
}

}  // namespace lumi::platform
