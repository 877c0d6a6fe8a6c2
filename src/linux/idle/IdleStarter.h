// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

#include "linux/platform/IdleMonitor.h"
#include "platform/SessionState.h"

namespace lumi::idle {

// Starts the display once the user has been idle for the wait, once per idle period.
//
// Flow of control: the constructor arms the monitor with the wait. When the monitor reports
// the user idle, the starter asks the session whether anything holds a screen saver back
// (the session is locked, an application inhibits idle), whether another screen saver is in
// charge of the session and whether a display runs already;
// with no such hold it starts the display. It starts nothing more until the monitor reports
// the user active again, however long the idle period lasts. While something holds it back,
// it asks again every minute within the same idle period, so that the display still starts
// when, say, a video ends while the user is away.
//
// A wait of zero means never: the monitor is disarmed and nothing starts until setWait()
// gives a positive wait. The starter never inhibits or delays the desktop's own blanking or
// lock; a lock that comes later simply covers the display.
class IdleStarter final : public QObject {
    Q_OBJECT
public:
    struct Services {
        platform::IdleMonitor& monitor;
        platform::SessionState& session;
        // True while a display (any process of the screen saver) runs.
        std::function<bool()> displayRunning;
        // Starts the display, detached from this process.
        std::function<void()> startDisplay;
        // Receives one line of news for the log: each start, and why an idle period starts
        // nothing.
        std::function<void(const QString&)> report;
        // How often a held-back start is tried again within one idle period.
        std::chrono::milliseconds retryInterval = std::chrono::minutes(1);
        // Why another screen saver starts the savers in this session (one that began after
        // the starter did), or an empty text; none is asked when this is empty.
        std::function<QString()> otherScreenSaver = {};
    };

    IdleStarter(Services services, std::chrono::milliseconds wait);

    std::chrono::milliseconds wait() const { return wait_; }

    // Changes the wait; a different one re-arms the monitor, and a new idle period counts
    // from then. The same wait changes nothing.
    void setWait(std::chrono::milliseconds wait);

private:
    void onIdle();
    void onActive();
    void tryStart();
    void holdBack(const QString& why);

    Services services_;
    std::chrono::milliseconds wait_;
    bool idle_ = false;
    // The display was started in this idle period.
    bool started_ = false;
    // The reason given for holding back in this idle period, so that it is told once.
    QString reportedHold_;
    // Counts the questions to the session; an answer to an earlier one is dropped.
    unsigned question_ = 0;
    bool asking_ = false;
    QTimer retry_;
};

// The wait as the log tells it: "10 minutes", "1 minute", "2 seconds".
QString waitText(std::chrono::milliseconds wait);

}  // namespace lumi::idle
