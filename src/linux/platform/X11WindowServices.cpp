// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/X11WindowServices.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "linux/platform/QtScreens.h"
#include "linux/platform/ScreenSaverFlag.h"

namespace lumi::platform {
namespace {

// xcb replies are malloc'ed and released with free().
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> adopt(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_connection_t* x11Connection() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 1, static_cast<uint16_t>(strlen(name)), name);
    const auto reply = adopt(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The title of `window` read from `property`, or nothing when the window has none.
std::optional<QString> readTitle(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property, xcb_atom_t utf8String) {
    if (property == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const auto cookie =
        xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
    const auto reply = adopt(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    if (reply->type == utf8String) {
        return QString::fromUtf8(bytes, length);
    }
    return QString::fromLatin1(bytes, length);
}

bool hasTitle(xcb_connection_t* connection, xcb_window_t window, const QString& title,
              xcb_atom_t netWmName, xcb_atom_t utf8String) {
    if (readTitle(connection, window, netWmName, utf8String) == title) {
        return true;
    }
    return readTitle(connection, window, XCB_ATOM_WM_NAME, utf8String) == title;
}

std::vector<xcb_window_t> childrenOf(xcb_connection_t* connection, xcb_window_t window) {
    const auto reply =
        adopt(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!reply) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    return {children, children + xcb_query_tree_children_length(reply.get())};
}

xcb_window_t rootWindow(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    return screens.rem > 0 ? screens.data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

}  // namespace

NativeWindow X11WindowServices::findTopLevelWindow(const QString& title) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        return 0;
    }
    const xcb_window_t root = rootWindow(connection);
    if (root == XCB_WINDOW_NONE) {
        return 0;
    }
    const xcb_atom_t netWmName = internAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8String = internAtom(connection, "UTF8_STRING");
    // A window manager that reparents puts each client window inside a frame of its own:
    // the client is then a child of a top-level frame rather than of the root.
    for (const xcb_window_t topLevel : childrenOf(connection, root)) {
        if (hasTitle(connection, topLevel, title, netWmName, utf8String)) {
            return topLevel;
        }
        for (const xcb_window_t client : childrenOf(connection, topLevel)) {
            if (hasTitle(connection, client, title, netWmName, utf8String)) {
                return client;
            }
        }
    }
    return 0;
}

QRect X11WindowServices::screenRect() {
    return primaryScreenRect();
}

QList<QRect> X11WindowServices::monitorRects() {
    return screenRects();
}

void X11WindowServices::showTopMost(QWidget& window, const QRect& rect) {
    showFullScreenOn(window, rect, Qt::WindowStaysOnTopHint);
    window.raise();
    window.activateWindow();
}

void X11WindowServices::showTopMostWithoutFocus(QWidget& window, const QRect& rect) {
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    showFullScreenOn(window, rect, Qt::WindowStaysOnTopHint);
    window.raise();
}

bool X11WindowServices::setScreenSaverRunning(bool running) {
    return swapScreenSaverFlag(running);
}

bool X11WindowServices::canDrawInForeignWindows() {
    return true;
}

std::optional<QRect> X11WindowServices::clientRect(NativeWindow window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || window == 0 || window > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    const auto cookie = xcb_get_geometry(connection, static_cast<xcb_window_t>(window));
    const auto reply = adopt(xcb_get_geometry_reply(connection, cookie, nullptr));
    if (!reply) {
        return std::nullopt;
    }
    return QRect(0, 0, reply->width, reply->height);
}

void X11WindowServices::embed(QWidget& child, NativeWindow host, const QRect& rect) {
    // Qt wraps the foreign window; the wrapper lives as long as the child it parents.
    QWindow* foreign = QWindow::fromWinId(static_cast<WId>(host));
    child.setAttribute(Qt::WA_NativeWindow);
    child.setAttribute(Qt::WA_ShowWithoutActivating);
    child.setWindowFlags(Qt::FramelessWindowHint);
    child.winId();
    child.windowHandle()->setParent(foreign);
    QObject::connect(&child, &QObject::destroyed, foreign, &QObject::deleteLater);
    child.setGeometry(rect);
    child.show();
}

}  // namespace lumi::platform
