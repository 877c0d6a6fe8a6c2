// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/WaylandIdleMonitor.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <functional>

#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

namespace lumi::platform {
namespace {

template <auto destroy>
struct Deleter {
    template <typename T>
    void operator()(T* object) const {
        destroy(object);
    }
};
template <typename T, auto destroy>
using Owned = std::unique_ptr<T, Deleter<destroy>>;

}  // namespace

// The connection and the objects bound on it, destroyed in the reverse order of their making.
struct WaylandIdleMonitor::Connection {
    Owned<wl_display, wl_display_disconnect> display;
    Owned<wl_registry, wl_registry_destroy> registry;
    Owned<wl_seat, wl_seat_destroy> seat;
    Owned<ext_idle_notifier_v1, ext_idle_notifier_v1_destroy> extNotifier;
    Owned<org_kde_kwin_idle, org_kde_kwin_idle_destroy> kdeIdle;
    // The watch of the moment, from whichever protocol is in use.
    Owned<ext_idle_notification_v1, ext_idle_notification_v1_destroy> extNotification;
    Owned<org_kde_kwin_idle_timeout, org_kde_kwin_idle_timeout_release> kdeTimeout;
    // Called with true for idle, false for resumed.
    std::function<void(bool)> onEvent;
};

namespace {

using Connection = WaylandIdleMonitor::Connection;

void announceGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t) {
    auto* connection = static_cast<Connection*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !connection->seat) {
        connection->seat.reset(
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1)));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
        connection->extNotifier.reset(static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1)));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
        connection->kdeIdle.reset(static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1)));
    }
}

void removeGlobal(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener{announceGlobal, removeGlobal};

void report(void* data, bool idle) {
    auto* connection = static_cast<Connection*>(data);
    if (connection->onEvent) {
        connection->onEvent(idle);
    }
}

constexpr ext_idle_notification_v1_listener kExtListener{
    [](void* data, ext_idle_notification_v1*) { report(data, true); },
    [](void* data, ext_idle_notification_v1*) { report(data, false); }};

constexpr org_kde_kwin_idle_timeout_listener kKdeListener{
    [](void* data, org_kde_kwin_idle_timeout*) { report(data, true); },
    [](void* data, org_kde_kwin_idle_timeout*) { report(data, false); }};

}  // namespace

std::unique_ptr<WaylandIdleMonitor> WaylandIdleMonitor::open(QString& problem) {
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    auto connection = std::make_unique<Connection>();
    connection->display.reset(wl_display_connect(nullptr));
    if (!connection->display) {
        problem = QStringLiteral("cannot connect to the Wayland compositor %1").arg(name);
        return nullptr;
    }
    connection->registry.reset(wl_display_get_registry(connection->display.get()));
    wl_registry_add_listener(connection->registry.get(), &kRegistryListener, connection.get());
    if (wl_display_roundtrip(connection->display.get()) < 0) {
        problem = QStringLiteral("the Wayland compositor %1 closed the connection").arg(name);
        return nullptr;
    }
    if (!connection->extNotifier && !connection->kdeIdle) {
        problem = QStringLiteral(
                      "the Wayland compositor %1 offers neither ext-idle-notify-v1 nor "
                      "org_kde_kwin_idle")
                      .arg(name);
        return nullptr;
    }
    if (!connection->seat) {
        problem = QStringLiteral("the Wayland compositor %1 has no seat").arg(name);
        return nullptr;
    }
    if (connection->extNotifier) {
        connection->kdeIdle.reset();
    }
    return std::unique_ptr<WaylandIdleMonitor>(new WaylandIdleMonitor(std::move(connection)));
}

WaylandIdleMonitor::WaylandIdleMonitor(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {
    connection_->onEvent = [this](bool idle) {
        // Queued, so that a slot never runs inside the dispatch of the connection.
        QMetaObject::invokeMethod(
            this,
            [this, idle, generation = generation_] {
                if (generation != generation_) {
                    return;
                }
                if (idle) {
                    emit this->idle();
                } else {
                    emit active();
                }
            },
            Qt::QueuedConnection);
    };
    notifier_ = new QSocketNotifier(wl_display_get_fd(connection_->display.get()),
                                    QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WaylandIdleMonitor::readEvents);
}

WaylandIdleMonitor::~WaylandIdleMonitor() {
    connection_->onEvent = nullptr;
    endWatch();
}

QString WaylandIdleMonitor::sourceName() const {
    return connection_->extNotifier ? QStringLiteral("ext-idle-notify-v1")
                                    : QStringLiteral("org_kde_kwin_idle");
}

void WaylandIdleMonitor::watch(std::chrono::milliseconds timeout) {
    ++generation_;
    endWatch();
    if (timeout.count() <= 0 || !notifier_->isEnabled()) {
        return;
    }
    const auto milliseconds = static_cast<uint32_t>(qMin<qint64>(timeout.count(), UINT32_MAX));
    Connection& c = *connection_;
    if (c.extNotifier) {
        c.extNotification.reset(ext_idle_notifier_v1_get_idle_notification(
            c.extNotifier.get(), milliseconds, c.seat.get()));
        ext_idle_notification_v1_add_listener(c.extNotification.get(), &kExtListener, &c);
    } else {
        c.kdeTimeout.reset(
            org_kde_kwin_idle_get_idle_timeout(c.kdeIdle.get(), c.seat.get(), milliseconds));
        org_kde_kwin_idle_timeout_add_listener(c.kdeTimeout.get(), &kKdeListener, &c);
    }
    wl_display_flush(c.display.get());
}

void WaylandIdleMonitor::endWatch() {
    connection_->extNotification.reset();
    connection_->kdeTimeout.reset();
    wl_display_flush(connection_->display.get());
}

void WaylandIdleMonitor::readEvents() {
    wl_display* display = connection_->display.get();
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            loseConnection(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
    }
    // The notifier said the socket is readable, so this does not block.
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) {
        loseConnection(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    wl_display_flush(display);
}

void WaylandIdleMonitor::loseConnection(const QString& why) {
    notifier_->setEnabled(false);
    ++generation_;
    emit lost(QStringLiteral("the connection to the Wayland compositor ended (%1)").arg(why));
}

}  // namespace lumi::platform
