// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "platform/SessionState.h"

namespace lumi::platform {

// The session's state as the desktop's services on D-Bus tell it. Locked: the session's
// LockedHint at logind (system bus), or GetActive of org.freedesktop.ScreenSaver (KDE) or
// of org.gnome.ScreenSaver (GNOME) on the session bus. Inhibited: IsInhibited(idle) of
// org.gnome.SessionManager (GNOME), or HasInhibition(screen changes) of KDE's power
// management, where the inhibitions that applications take over D-Bus end up. GNOME's idle
// monitor does not consider those, and the Wayland idle protocols promise only to hold idle
// back for the compositor's own idle inhibitors; the X server's idle time is held back by
// applications that reset the X screen saver.
//
// The questions go out together and asynchronously, without starting any service; one that
// is not there or does not answer within a few seconds counts as "no".
class DBusSessionState final : public QObject, public SessionState {
    Q_OBJECT
public:
    void query(std::function<void(Hold)> answer) override;
};

}  // namespace lumi::platform
