// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace lumi::platform {

// One service of the desktop that can lock the session with the desktop's own lock screen.
// Every answer comes once, from the event loop, never from inside the call that asked.
class LockService {
public:
    virtual ~LockService() = default;

    // The service's name for the log ("logind", "org.freedesktop.ScreenSaver").
    virtual QString name() const = 0;

    // Gets ready so that a later requestLock() goes out at once (finds the session, for
    // instance). Called once, well before the lock is wanted; may do nothing.
    virtual void prepare() {}

    // Asks the service to lock the session. `answered(true)` when the service took the
    // request, false when it is not there or refused it.
    virtual void requestLock(std::function<void(bool accepted)> answered) = 0;

    // Asks whether the session is locked now. `answer(false)` also for any error.
    virtual void queryLocked(std::function<void(bool locked)> answer) = 0;
};

// Runs `callback` from the event loop after `delay`, unless the object that scheduled it is
// gone by then. The real one is a single-shot QTimer; tests step a queue by hand.
using LockScheduler =
    std::function<void(QObject* context, std::chrono::milliseconds delay, std::function<void()>)>;

// Locks the session when the screen saver ends.
//
// Flow of control: lock() asks the services one after another, in their order, until one
// takes the request; a service that refuses or is absent passes the request on at once. The
// one that took it is then asked every kLockPollInterval whether the session is locked. The
// outcome is told once: Locked as soon as the service says so; NotConfirmed when a service
// took the request but kLockWait after lock() the session is still not known to be locked;
// NoService when none took it (at once when all refused, or at kLockWait when none answered).
// The bound holds whatever the services do, so that the screen saver always ends.
class SessionLock final : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Locked, NotConfirmed, NoService };

    static constexpr std::chrono::milliseconds kLockWait{2000};
    static constexpr std::chrono::milliseconds kLockPollInterval{50};

    // `services` in the order in which they are asked; an empty `scheduler` means QTimer.
    explicit SessionLock(std::vector<std::unique_ptr<LockService>> services,
                         LockScheduler scheduler = {});
    ~SessionLock() override;

    // Prepares every service, so that lock() asks without a round trip first.
    void prepare();

    // Asks for the lock and calls `done` once with the outcome and the name of the service
    // that took the request (empty for NoService). A second call while one runs is ignored.
    void lock(std::function<void(Outcome, const QString& service)> done);

    // True from lock() on.
    bool requested() const { return requested_; }

private:
    void ask(size_t index);
    void poll();
    void finish(Outcome outcome);
    void schedule(std::chrono::milliseconds delay, std::function<void()> callback);

    std::vector<std::unique_ptr<LockService>> services_;
    LockScheduler scheduler_;
    std::function<void(Outcome, const QString&)> done_;
    bool requested_ = false;
    bool finished_ = false;
    LockService* accepted_ = nullptr;  // the service that took the request
};

// The services of this desktop, in the order in which they are asked: on Linux, logind's
// Session.Lock on the system bus, then org.freedesktop.ScreenSaver and org.gnome.ScreenSaver
// on the session bus. Nothing connects to a bus before prepare() or lock().
std::unique_ptr<SessionLock> createSessionLock();

// The line for the standard error that tells an outcome other than Locked; empty for Locked.
QString lockOutcomeText(SessionLock::Outcome outcome, const QString& service);

}  // namespace lumi::platform
