// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

#include "linux/platform/IdleMonitor.h"

struct xcb_connection_t;

namespace lumi::platform {

// The X display (DISPLAY) on which an XScreenSaver daemon runs, or nothing when none does or
// there is no X server to ask. Under Wayland the daemon runs on XWayland, so DISPLAY names it
// there too. Connects, asks and disconnects: a few round trips to a local server.
std::optional<QString> xscreensaverDaemonOnDisplay();

// Idle time from the X server's MIT-SCREEN-SAVER extension, on an X connection of its own.
// The extension tells only the time since the last input, so the monitor asks for it: once
// when the timeout would be reached, and once a second while the user is idle (the idle time
// falling means input came). A video player that resets the X screen saver
// (XResetScreenSaver, `xset s reset`) resets this idle time too, so it holds the idle state
// back like input; one that only suspends the X screen saver (XScreenSaverSuspend) is not
// seen here.
//
// XScreenSaver, where its daemon runs, decides by itself when a saver starts; the monitor is
// then not offered (open() fails), and never reports idle while a daemon that started later
// runs, so that the two never both start a saver.
class X11IdleMonitor final : public IdleMonitor {
    Q_OBJECT
public:
    // Connects to the X server named by DISPLAY. Nothing, with `problem` saying why, when
    // there is no server, it lacks the extension, or an XScreenSaver daemon runs on it.
    static std::unique_ptr<X11IdleMonitor> open(QString& problem);

    ~X11IdleMonitor() override;

    QString sourceName() const override;
    void watch(std::chrono::milliseconds timeout) override;

private:
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const;
    };
    using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

    X11IdleMonitor(Connection connection, quint32 root);
    void check();

    Connection connection_;
    quint32 root_;
    std::chrono::milliseconds timeout_{0};
    bool idle_ = false;
    // The idle time of the previous check while idle.
    quint32 lastIdleTime_ = 0;
    QTimer timer_;
};

}  // namespace lumi::platform
