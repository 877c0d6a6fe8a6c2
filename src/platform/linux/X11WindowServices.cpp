#include "platform/linux/X11WindowServices.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/RuntimeFolder.h"

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

// Shows `window` full screen and on top over `rect`, on the monitor that holds the
// rectangle's centre, so that a window manager full-screens it there and not elsewhere.
void showFullScreenOnTop(QWidget& window, const QRect& rect) {
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    if (QScreen* screen = QGuiApplication::screenAt(rect.center())) {
        window.setScreen(screen);
    }
    window.setGeometry(rect);
    window.showFullScreen();
    window.raise();
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
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {};
    }
    const QSize size = screen->size() * screen->devicePixelRatio();
    return {QPoint(0, 0), size};
}

QList<QRect> X11WindowServices::monitorRects() {
    QList<QRect> monitors;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        monitors.append(primary->geometry());
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            monitors.append(screen->geometry());
        }
    }
    return monitors;
}

void X11WindowServices::showTopMost(QWidget& window, const QRect& rect) {
    showFullScreenOnTop(window, rect);
    window.activateWindow();
}

void X11WindowServices::showTopMostWithoutFocus(QWidget& window, const QRect& rect) {
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    showFullScreenOnTop(window, rect);
}

bool X11WindowServices::setScreenSaverRunning(bool running) {
    const QString path = runtimeFolder() + QStringLiteral("/screensaver-running");
    QFile previousFile(path);
    const bool previous =
        previousFile.open(QIODevice::ReadOnly) && previousFile.readAll().trimmed() == "1";
    // Written beside the flag and renamed over it, so that a reader sees "1" or "0" and never
    // a half-written file. No fsync: the flag lives in the runtime folder, which does not
    // outlive the session, and the display calls this on its way out, where waiting for the
    // disk would delay the end of the screen saver.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (file.open() && file.write(running ? "1\n" : "0\n") == 2 && file.flush()) {
        file.close();
        if (std::rename(QFile::encodeName(file.fileName()).constData(),
                        QFile::encodeName(path).constData()) != 0) {
            file.remove();
        }
    } else {
        file.remove();
    }
    return previous;
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
