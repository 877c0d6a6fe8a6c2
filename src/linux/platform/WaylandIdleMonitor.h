// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <memory>

#include "linux/platform/IdleMonitor.h"

class QSocketNotifier;

namespace lumi::platform {

// Idle time from the Wayland compositor, on a connection of its own: the ext-idle-notify-v1
// protocol where the compositor offers it, else the older org_kde_kwin_idle. Both tell idle
// and resumed for one timeout on one seat (the first seat the compositor announces), and in
// both the compositor holds the idle state back while an application inhibits idle.
//
// The connection is read from the event loop through a socket notifier; events are emitted
// queued, so that a slot may call watch() or destroy the monitor.
class WaylandIdleMonitor final : public IdleMonitor {
    Q_OBJECT
public:
    // Connects to the compositor named by WAYLAND_DISPLAY. Nothing, with `problem` saying
    // why, when there is no compositor or it offers neither protocol. Blocks for one round
    // trip to the compositor: called once at start-up.
    static std::unique_ptr<WaylandIdleMonitor> open(QString& problem);

    ~WaylandIdleMonitor() override;

    QString sourceName() const override;
    void watch(std::chrono::milliseconds timeout) override;

    struct Connection;

private:
    explicit WaylandIdleMonitor(std::unique_ptr<Connection> connection);
    void readEvents();
    void endWatch();
    void loseConnection(const QString& why);

    std::unique_ptr<Connection> connection_;
    QSocketNotifier* notifier_ = nullptr;
    // Counts the watches; an event queued for an earlier watch is dropped.
    unsigned generation_ = 0;
};

}  // namespace lumi::platform
