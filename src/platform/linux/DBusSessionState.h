#pragma once

#include <QObject>

#include "platform/SessionState.h"

namespace lumi::platform {

// The session's state as the desktop's services on D-Bus tell it. Locked: the session's
// LockedHint at logind (system bus), or GetActive of org.freedesktop.ScreenSaver (KDE) or
// of org.gnome.ScreenSaver (GNOME) on the session bus. Inhibited: IsInhibited(idle) of
// org.gnome.SessionManager, which GNOME's idle monitor does not consider by itself; the
// Wayland idle protocols and the X server's idle time already hold idle back while an
// application inhibits it.
//
// The questions go out together and asynchronously, without starting any service; one that
// is not there or does not answer within a few seconds counts as "no".
class DBusSessionState final : public QObject, public SessionState {
    Q_OBJECT
public:
    void query(std::function<void(Hold)> answer) override;
};

}  // namespace lumi::platform
