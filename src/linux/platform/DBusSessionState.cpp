// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/DBusSessionState.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <memory>
#include <vector>

namespace lumi::platform {
namespace {

// How long one question may take before it counts as unanswered.
constexpr int kCallTimeoutMilliseconds = 3000;
// The idle flag of org.gnome.SessionManager's inhibitors.
constexpr uint kInhibitIdle = 8;
// The flag of KDE's power management for inhibitions of screen changes (blanking, saver),
// which applications take through org.freedesktop.ScreenSaver.Inhibit.
constexpr uint kInhibitScreenChanges = 4;

struct Question {
    QDBusConnection::BusType bus;
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    QVariantList arguments;
    SessionState::Hold holdWhenTrue;
};

std::vector<Question> questions() {
    return {
        {QDBusConnection::SystemBus,
         "org.freedesktop.login1",
         "/org/freedesktop/login1/session/auto",
         "org.freedesktop.DBus.Properties",
         "Get",
         {QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("LockedHint")},
         SessionState::Hold::Locked},
        {QDBusConnection::SessionBus,
         "org.freedesktop.ScreenSaver",
         "/org/freedesktop/ScreenSaver",
         "org.freedesktop.ScreenSaver",
         "GetActive",
         {},
         SessionState::Hold::Locked},
        {QDBusConnection::SessionBus,
         "org.gnome.ScreenSaver",
         "/org/gnome/ScreenSaver",
         "org.gnome.ScreenSaver",
         "GetActive",
         {},
         SessionState::Hold::Locked},
        {QDBusConnection::SessionBus,
         "org.gnome.SessionManager",
         "/org/gnome/SessionManager",
         "org.gnome.SessionManager",
         "IsInhibited",
         {QVariant::fromValue(kInhibitIdle)},
         SessionState::Hold::Inhibited},
        {QDBusConnection::SessionBus,
         "org.kde.Solid.PowerManagement.PolicyAgent",
         "/org/kde/Solid/PowerManagement/PolicyAgent",
         "org.kde.Solid.PowerManagement.PolicyAgent",
         "HasInhibition",
         {QVariant::fromValue(kInhibitScreenChanges)},
         SessionState::Hold::Inhibited},
    };
}

// The boolean of a reply, also when it comes wrapped in a variant (a property); false for an
// error or any other type.
bool isTrue(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value.typeId() == QMetaType::Bool && value.toBool();
}

// The answers collected for one query; the first hold in the order of the questions wins.
struct Collection {
    std::function<void(SessionState::Hold)> answer;
    std::vector<SessionState::Hold> holds;
    size_t outstanding = 0;
};

}  // namespace

void DBusSessionState::query(std::function<void(Hold)> answer) {
    const std::vector<Question> all = questions();
    auto collection = std::make_shared<Collection>();
    collection->answer = std::move(answer);
    collection->holds.assign(all.size(), Hold::None);
    collection->outstanding = all.size();
    const auto finish = [collection] {
        if (--collection->outstanding > 0) {
            return;
        }
        Hold found = Hold::None;
        for (const Hold hold : collection->holds) {
            if (hold != Hold::None) {
                found = hold;
                break;
            }
        }
        collection->answer(found);
    };

    for (size_t i = 0; i < all.size(); ++i) {
        const Question& question = all[i];
        QDBusConnection bus = question.bus == QDBusConnection::SystemBus
                                  ? QDBusConnection::systemBus()
                                  : QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            // Answered from the event loop like the others.
            QMetaObject::invokeMethod(this, finish, Qt::QueuedConnection);
            continue;
        }
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(question.service), QString::fromLatin1(question.path),
            QString::fromLatin1(question.interface), QString::fromLatin1(question.method));
        message.setArguments(question.arguments);
        message.setAutoStartService(false);
        auto* pending =
            new QDBusPendingCallWatcher(bus.asyncCall(message, kCallTimeoutMilliseconds), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this,
                [pending, collection, finish, i, hold = question.holdWhenTrue] {
                    pending->deleteLater();
                    if (isTrue(pending->reply())) {
                        collection->holds[i] = hold;
                    }
                    finish();
                });
    }
}

}  // namespace lumi::platform
