// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/MutterIdleMonitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace lumi::platform {
namespace {

constexpr char kService[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char kInterface[] = "org.gnome.Mutter.IdleMonitor";
// How long a call may take before it counts as unanswered.
constexpr int kCallTimeoutMilliseconds = 5000;

QDBusMessage call(const char* method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
        QString::fromLatin1(method));
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return message;
}

}  // namespace

std::unique_ptr<MutterIdleMonitor> MutterIdleMonitor::open(QString& problem) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem = QStringLiteral("no session bus to ask for a GNOME idle monitor");
        return nullptr;
    }
    const QDBusMessage reply =
        bus.call(call("GetIdletime"), QDBus::Block, kCallTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        problem = QStringLiteral("no GNOME idle monitor answers on the session bus");
        return nullptr;
    }
    return std::unique_ptr<MutterIdleMonitor>(new MutterIdleMonitor());
}

MutterIdleMonitor::MutterIdleMonitor() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                QString::fromLatin1(kInterface), QStringLiteral("WatchFired"), this,
                SLOT(onWatchFired(uint)));
    auto* serviceWatcher = new QDBusServiceWatcher(
        QString::fromLatin1(kService), bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(serviceWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++generation_;
        idleWatch_ = 0;
        activeWatch_ = 0;
        emit lost(QStringLiteral("the GNOME idle monitor left the session bus"));
    });
}

QString MutterIdleMonitor::sourceName() const {
    return QStringLiteral("org.gnome.Mutter.IdleMonitor");
}

void MutterIdleMonitor::watch(std::chrono::milliseconds timeout) {
    ++generation_;
    removeWatches();
    if (timeout.count() <= 0) {
        return;
    }
    addWatch("AddIdleWatch", {QVariant::fromValue(static_cast<qulonglong>(timeout.count()))},
             [this](uint id) { idleWatch_ = id; });
}

void MutterIdleMonitor::onWatchFired(uint id) {
    if (id == 0) {
        return;
    }
    if (id == idleWatch_) {
        // The idle watch stays and fires again in the next idle period.
        addWatch("AddUserActiveWatch", {}, [this](uint activeId) { activeWatch_ = activeId; });
        emit idle();
    } else if (id == activeWatch_) {
        // A user-active watch fires once and is gone.
        activeWatch_ = 0;
        emit active();
    }
}

void MutterIdleMonitor::removeWatches() {
    for (uint* watch : {&idleWatch_, &activeWatch_}) {
        if (*watch != 0) {
            QDBusConnection::sessionBus().asyncCall(call("RemoveWatch", {*watch}));
            *watch = 0;
        }
    }
}

void MutterIdleMonitor::addWatch(const char* method, const QVariantList& arguments,
                                 std::function<void(uint)> onId) {
    auto* pending = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call(method, arguments), kCallTimeoutMilliseconds),
        this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, pending, onId = std::move(onId), generation = generation_] {
                pending->deleteLater();
                const QDBusPendingReply<uint> reply = *pending;
                if (reply.isError()) {
                    if (generation == generation_) {
                        ++generation_;
                        emit lost(QStringLiteral("the GNOME idle monitor refused a watch: %1")
                                      .arg(reply.error().message()));
                    }
                    return;
                }
                if (generation != generation_) {
                    QDBusConnection::sessionBus().asyncCall(call("RemoveWatch", {reply.value()}));
                    return;
                }
                onId(reply.value());
            });
}

}  // namespace lumi::platform
