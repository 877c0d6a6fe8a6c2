// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/QtPlatformChoice.h"

namespace lumi::platform {

QString qtPlatformFor(const SessionEnvironment& environment) {
    if (!environment.qtPlatform.isEmpty()) {
        return environment.qtPlatform;
    }
    if (!environment.waylandDisplay.isEmpty() || environment.sessionType == u"wayland") {
        return QStringLiteral("wayland;xcb");
    }
    return QStringLiteral("xcb");
}

}  // namespace lumi::platform
