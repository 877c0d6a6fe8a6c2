// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/idle/IdleStarter.h"

#include <QPointer>

namespace lumi::idle {

using platform::SessionState;

IdleStarter::IdleStarter(Services services, std::chrono::milliseconds wait)
    : services_(std::move(services)), wait_(wait) {
    retry_.setSingleShot(true);
    retry_.setInterval(services_.retryInterval);
    connect(&retry_, &QTimer::timeout, this, &IdleStarter::tryStart);
    connect(&services_.monitor, &platform::IdleMonitor::idle, this, &IdleStarter::onIdle);
    connect(&services_.monitor, &platform::IdleMonitor::active, this, &IdleStarter::onActive);
    services_.monitor.watch(wait_);
}

void IdleStarter::setWait(std::chrono::milliseconds wait) {
    if (wait == wait_) {
        return;
    }
    wait_ = wait;
    onActive();
    services_.monitor.watch(wait_);
}

void IdleStarter::onIdle() {
    if (wait_.count() <= 0) {
        return;
    }
    idle_ = true;
    tryStart();
}

void IdleStarter::onActive() {
    idle_ = false;
    started_ = false;
    reportedHold_.clear();
    ++question_;
    asking_ = false;
    retry_.stop();
}

void IdleStarter::tryStart() {
    if (!idle_ || started_ || asking_) {
        return;
    }
    asking_ = true;
    const unsigned question = ++question_;
    services_.session.query(
        [self = QPointer<IdleStarter>(this), question](SessionState::Hold hold) {
            if (!self || question != self->question_) {
                return;
            }
            self->asking_ = false;
            if (hold == SessionState::Hold::Locked) {
                self->holdBack(QStringLiteral("the session is locked"));
                return;
            }
            if (hold == SessionState::Hold::Inhibited) {
                self->holdBack(QStringLiteral("an application inhibits idle"));
                return;
            }
            if (self->services_.otherScreenSaver) {
                if (const QString other = self->services_.otherScreenSaver(); !other.isEmpty()) {
                    self->holdBack(other);
                    return;
                }
            }
            if (self->services_.displayRunning()) {
                self->holdBack(QStringLiteral("Lumiscribe runs already"));
                return;
            }
            self->started_ = true;
            self->services_.report(
                QStringLiteral("idle for %1: starting the display").arg(waitText(self->wait_)));
            self->services_.startDisplay();
        });
}

void IdleStarter::holdBack(const QString& why) {
    if (reportedHold_ != why) {
        reportedHold_ = why;
        services_.report(QStringLiteral("idle, but %1: starting nothing").arg(why));
    }
    retry_.start();
}

QString waitText(std::chrono::milliseconds wait) {
    using namespace std::chrono;
    if (wait.count() > 0 && wait % minutes(1) == milliseconds(0)) {
        const auto count = duration_cast<minutes>(wait).count();
        return count == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(count);
    }
    const auto count = duration_cast<seconds>(wait).count();
    return count == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(count);
}

}  // namespace lumi::idle
