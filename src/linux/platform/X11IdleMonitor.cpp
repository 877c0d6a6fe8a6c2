// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/X11IdleMonitor.h"

#include <QtGlobal>

#include <cstdlib>
#include <cstring>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

namespace lumi::platform {
namespace {

// How often the idle time is read while the user is idle.
constexpr std::chrono::milliseconds kIdleCheckInterval{1000};

template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> adopt(Reply* reply) {
    return {reply, &std::free};
}

// True when an XScreenSaver daemon runs on the X server: it marks a window of its own, a
// child of the root window, with the property _SCREENSAVER_VERSION.
bool xscreensaverDaemonRuns(xcb_connection_t* connection, xcb_window_t root) {
    static constexpr char kName[] = "_SCREENSAVER_VERSION";
    const auto atom = adopt(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(kName), kName), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false;
    }
    const auto tree =
        adopt(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) {
        return false;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        const auto property = adopt(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, children[i], atom->atom, XCB_ATOM_STRING, 0, 0),
            nullptr));
        if (property && property->type != XCB_ATOM_NONE) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<QString> xscreensaverDaemonOnDisplay() {
    const QString name = qEnvironmentVariable("DISPLAY");
    if (name.isEmpty()) {
        return std::nullopt;
    }
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        return std::nullopt;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    if (!screen || !xscreensaverDaemonRuns(connection.get(), screen->root)) {
        return std::nullopt;
    }
    return name;
}

void X11IdleMonitor::Disconnect::operator()(xcb_connection_t* connection) const {
    xcb_disconnect(connection);
}

std::unique_ptr<X11IdleMonitor> X11IdleMonitor::open(QString& problem) {
    const QString name = qEnvironmentVariable("DISPLAY");
    Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get())) {
        problem = QStringLiteral("cannot open the X display %1").arg(name);
        return nullptr;
    }
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection.get(), &xcb_screensaver_id);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    if (!extension || !extension->present || !screen) {
        problem = QStringLiteral("the X server %1 has no MIT-SCREEN-SAVER extension").arg(name);
        return nullptr;
    }
    if (xscreensaverDaemonRuns(connection.get(), screen->root)) {
        problem =
            QStringLiteral("XScreenSaver runs on the X display %1 and starts the savers").arg(name);
        return nullptr;
    }
    const xcb_window_t root = screen->root;
    return std::unique_ptr<X11IdleMonitor>(new X11IdleMonitor(std::move(connection), root));
}

X11IdleMonitor::X11IdleMonitor(Connection connection, quint32 root)
    : connection_(std::move(connection)), root_(root) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &X11IdleMonitor::check);
}

X11IdleMonitor::~X11IdleMonitor() = default;

QString X11IdleMonitor::sourceName() const {
    return QStringLiteral("MIT-SCREEN-SAVER");
}

void X11IdleMonitor::watch(std::chrono::milliseconds timeout) {
    timeout_ = timeout;
    idle_ = false;
    timer_.stop();
    if (timeout_.count() > 0) {
        timer_.start(0);
    }
}

void X11IdleMonitor::check() {
    xcb_connection_t* connection = connection_.get();
    const auto info = adopt(xcb_screensaver_query_info_reply(
        connection, xcb_screensaver_query_info(connection, root_), nullptr));
    if (!info) {
        if (xcb_connection_has_error(connection)) {
            emit lost(QStringLiteral("the connection to the X server ended"));
            return;
        }
        timer_.start(kIdleCheckInterval);
        return;
    }
    const quint32 idleTime = info->ms_since_user_input;
    if (idle_) {
        if (idleTime < lastIdleTime_) {
            idle_ = false;
            timer_.start(std::max<qint64>(0, timeout_.count() - idleTime));
            emit active();
            return;
        }
        lastIdleTime_ = idleTime;
        timer_.start(kIdleCheckInterval);
        return;
    }
    if (idleTime < timeout_.count()) {
        timer_.start(timeout_.count() - idleTime);
        return;
    }
    if (xscreensaverDaemonRuns(connection, root_)) {
        timer_.start(kIdleCheckInterval);
        return;
    }
    idle_ = true;
    lastIdleTime_ = idleTime;
    timer_.start(kIdleCheckInterval);
    emit idle();
}

}  // namespace lumi::platform
