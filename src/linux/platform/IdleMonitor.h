// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

namespace lumi::platform {

// Tells when the user has been idle (no input on the seat) for a given time, and when they
// are active again. One implementation per source of idle time; openIdleMonitor() picks the
// one that the desktop offers.
//
// Flow: watch(timeout) arms the monitor. Once the user has given no input for `timeout`,
// idle() is emitted; at the next input active() follows, and the count starts again, so that
// idle() and active() alternate for as long as the watch stands. Every call of watch() starts
// a new watch whose count begins at that moment and which is not idle; a timeout of zero
// ends the watch, and nothing is emitted until the next watch() with a positive timeout.
// The signals come from the event loop, never from within watch().
//
// A monitor only watches: it never inhibits, delays or resets the desktop's own idle
// handling (its blanking and its lock).
class IdleMonitor : public QObject {
    Q_OBJECT
public:
    ~IdleMonitor() override = default;

    // The name of the source, as the start-up line names it ("ext-idle-notify-v1").
    virtual QString sourceName() const = 0;

    virtual void watch(std::chrono::milliseconds timeout) = 0;

signals:
    void idle();
    void active();
    // The source went away (the compositor or the service ended); nothing more is emitted.
    void lost(const QString& why);
};

// The first source that the session offers, in this order: the ext-idle-notify-v1 and the
// org_kde_kwin_idle protocols of the Wayland compositor, GNOME's idle monitor on the session
// bus, and, outside a Wayland session, the X server's MIT-SCREEN-SAVER extension. None while
// an XScreenSaver daemon runs in the session (otherScreenSaverInCharge()). Without any, `monitor` is empty and `problem` says why in one
// line of text.
struct IdleSource {
    std::unique_ptr<IdleMonitor> monitor;
    QString problem;
};
IdleSource openIdleMonitor();

// Why another screen saver decides when savers start in this session, or an empty text when
// none does: an XScreenSaver daemon runs (on X11, and on XWayland in a Wayland session).
QString otherScreenSaverInCharge();

}  // namespace lumi::platform
