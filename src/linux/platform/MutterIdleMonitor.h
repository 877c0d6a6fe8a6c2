// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantList>

#include <chrono>
#include <functional>
#include <memory>

#include "linux/platform/IdleMonitor.h"

namespace lumi::platform {

// Idle time from GNOME's window manager, through its idle monitor on the session bus
// (org.gnome.Mutter.IdleMonitor, object /org/gnome/Mutter/IdleMonitor/Core). An idle watch
// fires once each time the idle time reaches the timeout; a user-active watch, added after
// each idle, fires once at the next input. The service removes the watches of a client that
// leaves the bus.
//
// The idle monitor does not consider idle inhibitors: the idle starter asks the session
// manager about them (SessionState). Every call to the service is asynchronous.
class MutterIdleMonitor final : public IdleMonitor {
    Q_OBJECT
public:
    // Nothing, with `problem` saying why, when the service does not answer on the session
    // bus. Blocks for one call to the service: called once at start-up.
    static std::unique_ptr<MutterIdleMonitor> open(QString& problem);

    QString sourceName() const override;
    void watch(std::chrono::milliseconds timeout) override;

private slots:
    void onWatchFired(uint id);

private:
    MutterIdleMonitor();
    void removeWatches();
    // Calls `method` with `arguments`; `onId` gets the watch id of the reply unless a newer
    // watch() came first.
    void addWatch(const char* method, const QVariantList& arguments,
                  std::function<void(uint)> onId);

    uint idleWatch_ = 0;
    uint activeWatch_ = 0;
    // Counts the watches; a reply for an earlier watch is dropped (and its watch removed).
    unsigned generation_ = 0;
};

}  // namespace lumi::platform
