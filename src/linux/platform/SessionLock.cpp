// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/SessionLock.h"

#include <QTimer>

namespace lumi::platform {

SessionLock::SessionLock(std::vector<std::unique_ptr<LockService>> services,
                         LockScheduler scheduler)
    : services_(std::move(services)), scheduler_(std::move(scheduler)) {}

SessionLock::~SessionLock() = default;

void SessionLock::prepare() {
    for (const auto& service : services_) {
        service->prepare();
    }
}

void SessionLock::schedule(std::chrono::milliseconds delay, std::function<void()> callback) {
    if (scheduler_) {
        scheduler_(this, delay, std::move(callback));
        return;
    }
    QTimer::singleShot(delay, this, std::move(callback));
}

void SessionLock::lock(std::function<void(Outcome, const QString&)> done) {
    if (requested_) {
        return;
    }
    requested_ = true;
    done_ = std::move(done);
    schedule(kLockWait,
             [this] { finish(accepted_ != nullptr ? Outcome::NotConfirmed : Outcome::NoService); });
    ask(0);
}

void SessionLock::ask(size_t index) {
    if (finished_) {
        return;
    }
    if (index >= services_.size()) {
        finish(Outcome::NoService);
        return;
    }
    LockService* service = services_[index].get();
    service->requestLock([this, index, service](bool accepted) {
        if (finished_) {
            return;
        }
        if (!accepted) {
            ask(index + 1);
            return;
        }
        accepted_ = service;
        poll();
    });
}

void SessionLock::poll() {
    if (finished_) {
        return;
    }
    accepted_->queryLocked([this](bool locked) {
        if (finished_) {
            return;
        }
        if (locked) {
            finish(Outcome::Locked);
            return;
        }
        schedule(kLockPollInterval, [this] { poll(); });
    });
}

void SessionLock::finish(Outcome outcome) {
    if (finished_) {
        return;
    }
    finished_ = true;
    done_(outcome, accepted_ != nullptr ? accepted_->name() : QString());
}

QString lockOutcomeText(SessionLock::Outcome outcome, const QString& service) {
    switch (outcome) {
        case SessionLock::Outcome::Locked:
            return {};
        case SessionLock::Outcome::NotConfirmed:
            return QStringLiteral(
                       "%1 took the lock request, but the session was not locked "
                       "within 2 s; it may be unlocked")
                .arg(service);
        case SessionLock::Outcome::NoService:
            break;
    }
    return QStringLiteral("no lock screen answered; the session is not locked");
}

}  // namespace lumi::platform
