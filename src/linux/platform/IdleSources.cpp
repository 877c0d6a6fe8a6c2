// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtGlobal>

#include "linux/platform/IdleMonitor.h"
#include "platform/SessionState.h"
#include "linux/platform/DBusSessionState.h"
#include "linux/platform/MutterIdleMonitor.h"
#include "linux/platform/WaylandIdleMonitor.h"
#include "linux/platform/X11IdleMonitor.h"

namespace lumi::platform {

QString otherScreenSaverInCharge() {
    if (const std::optional<QString> display = xscreensaverDaemonOnDisplay()) {
        return QStringLiteral("XScreenSaver runs on the X display %1 and starts the savers")
            .arg(*display);
    }
    return {};
}

IdleSource openIdleMonitor() {
    if (QString other = otherScreenSaverInCharge(); !other.isEmpty()) {
        return {nullptr, other};
    }
    QString waylandProblem;
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                                !qEnvironmentVariableIsEmpty("WAYLAND_SOCKET");
    if (waylandSession) {
        if (auto monitor = WaylandIdleMonitor::open(waylandProblem)) {
            return {std::move(monitor), {}};
        }
    }
    QString busProblem;
    if (auto monitor = MutterIdleMonitor::open(busProblem)) {
        return {std::move(monitor), {}};
    }
    if (waylandSession) {
        // Xwayland sees only the input to X11 windows: its idle time runs on while the user
        // works in Wayland windows, so the X server is no source here.
        return {nullptr, waylandProblem + QStringLiteral(", and ") + busProblem};
    }
    // Outside Wayland the X server is the source that every desktop has; why it cannot
    // serve is the one reason worth telling.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return {nullptr, QStringLiteral("neither WAYLAND_DISPLAY nor DISPLAY names a display")};
    }
    QString x11Problem;
    if (auto monitor = X11IdleMonitor::open(x11Problem)) {
        return {std::move(monitor), {}};
    }
    return {nullptr, x11Problem};
}

std::unique_ptr<SessionState> createSessionState() {
    return std::make_unique<DBusSessionState>();
}

}  // namespace lumi::platform
