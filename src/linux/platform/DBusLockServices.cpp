// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/DBusLockServices.h"

#include <unistd.h>

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace lumi::platform {
namespace {

// A call that takes longer than this counts as unanswered; the lock's own bound is shorter,
// so this only frees the pending call.
constexpr int kCallTimeoutMilliseconds = 5000;

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindSession = QStringLiteral("org.freedesktop.login1.Session");

// Sends `message` without starting any service and calls `handle` with the reply (or the
// error) from the event loop. A bus that cannot be reached answers with an error at once.
void callAsync(QObject* context, const QDBusConnection& bus, QDBusMessage message,
               std::function<void(const QDBusMessage&)> handle) {
    message.setAutoStartService(false);
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(
            context, [handle = std::move(handle)] { handle(QDBusMessage()); },
            Qt::QueuedConnection);
        return;
    }
    auto* pending =
        new QDBusPendingCallWatcher(bus.asyncCall(message, kCallTimeoutMilliseconds), context);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, context,
                     [pending, handle = std::move(handle)] {
                         pending->deleteLater();
                         handle(pending->reply());
                     });
}

bool isReply(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage;
}

// The boolean of a reply, also when it comes wrapped in a variant (a property); false for an
// error or any other type.
bool isTrue(const QDBusMessage& reply) {
    if (!isReply(reply) || reply.arguments().isEmpty()) {
        return false;
    }
    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value.typeId() == QMetaType::Bool && value.toBool();
}

}  // namespace

void LogindLockService::prepare() {
    if (search_ != Search::NotStarted) {
        return;
    }
    search_ = Search::Running;
    findSession(QStringLiteral("GetSessionByPID"),
                {QVariant::fromValue(static_cast<uint>(::getpid()))}, [this] {
                    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
                    if (id.isEmpty()) {
                        sessionSearchEnded(Search::Failed);
                        return;
                    }
                    findSession(QStringLiteral("GetSession"), {id},
                                [this] { sessionSearchEnded(Search::Failed); });
                });
}

void LogindLockService::findSession(const QString& method, const QVariantList& arguments,
                                    std::function<void()> onFailure) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kLogindService, QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"), method);
    message.setArguments(arguments);
    callAsync(this, QDBusConnection::systemBus(), message,
              [this, onFailure = std::move(onFailure)](const QDBusMessage& reply) {
                  if (!isReply(reply) || reply.arguments().isEmpty() ||
                      !reply.arguments().constFirst().canConvert<QDBusObjectPath>()) {
                      onFailure();
                      return;
                  }
                  sessionPath_ = reply.arguments().constFirst().value<QDBusObjectPath>().path();
                  sessionSearchEnded(sessionPath_.isEmpty() ? Search::Failed : Search::Found);
              });
}

void LogindLockService::sessionSearchEnded(Search result) {
    search_ = result;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& request : waiting) {
        request();
    }
}

void LogindLockService::requestLock(std::function<void(bool accepted)> answered) {
    switch (search_) {
        case Search::NotStarted:
            prepare();
            [[fallthrough]];
        case Search::Running:
            waiting_.push_back([this, answered = std::move(answered)]() mutable {
                requestLock(std::move(answered));
            });
            return;
        case Search::Failed:
            QMetaObject::invokeMethod(
                this, [answered = std::move(answered)] { answered(false); }, Qt::QueuedConnection);
            return;
        case Search::Found:
            break;
    }
    const QDBusMessage message = QDBusMessage::createMethodCall(
        kLogindService, sessionPath_, kLogindSession, QStringLiteral("Lock"));
    callAsync(
        this, QDBusConnection::systemBus(), message,
        [answered = std::move(answered)](const QDBusMessage& reply) { answered(isReply(reply)); });
}

void LogindLockService::queryLocked(std::function<void(bool locked)> answer) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        kLogindService, sessionPath_, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    message.setArguments({kLogindSession, QStringLiteral("LockedHint")});
    callAsync(this, QDBusConnection::systemBus(), message,
              [answer = std::move(answer)](const QDBusMessage& reply) { answer(isTrue(reply)); });
}

ScreenSaverLockService::ScreenSaverLockService(QString service, QString path)
    : service_(std::move(service)), path_(std::move(path)) {}

void ScreenSaverLockService::requestLock(std::function<void(bool accepted)> answered) {
    const QDBusMessage message =
        QDBusMessage::createMethodCall(service_, path_, service_, QStringLiteral("Lock"));
    callAsync(
        this, QDBusConnection::sessionBus(), message,
        [answered = std::move(answered)](const QDBusMessage& reply) { answered(isReply(reply)); });
}

void ScreenSaverLockService::queryLocked(std::function<void(bool locked)> answer) {
    const QDBusMessage message =
        QDBusMessage::createMethodCall(service_, path_, service_, QStringLiteral("GetActive"));
    callAsync(this, QDBusConnection::sessionBus(), message,
              [answer = std::move(answer)](const QDBusMessage& reply) { answer(isTrue(reply)); });
}

std::unique_ptr<SessionLock> createSessionLock() {
    std::vector<std::unique_ptr<LockService>> services;
    services.push_back(std::make_unique<LogindLockService>());
    services.push_back(
        std::make_unique<ScreenSaverLockService>(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                 QStringLiteral("/org/freedesktop/ScreenSaver")));
    services.push_back(std::make_unique<ScreenSaverLockService>(
        QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("/org/gnome/ScreenSaver")));
    return std::make_unique<SessionLock>(std::move(services));
}

}  // namespace lumi::platform
