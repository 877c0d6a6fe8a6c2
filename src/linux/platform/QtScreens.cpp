// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lumi::platform {

namespace {

const QScreen* displayScreen(DisplayScreen which) {
    if (which == DisplayScreen::Primary) {
        return QGuiApplication::primaryScreen();
    }
    const QScreen* origin = nullptr;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QPoint corner = screen->geometry().topLeft();
        if (!origin || corner.y() < origin->geometry().top() ||
            (corner.y() == origin->geometry().top() && corner.x() < origin->geometry().left())) {
            origin = screen;
        }
    }
    return origin;
}

}  // namespace

QRect primaryScreenRect(DisplayScreen which) {
    const QScreen* screen = displayScreen(which);
    if (!screen) {
        return {};
    }
    return {QPoint(0, 0), screen->size()};
}

QList<QRect> screenRects(DisplayScreen which) {
    QList<QRect> rects;
    const QScreen* primary = displayScreen(which);
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
