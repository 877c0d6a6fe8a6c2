// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/QtPlatformChoice.h"

#include <QStringList>

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

namespace {

QString missingDisplay(const QString& system, const QString& variable, const QString& value) {
    if (value.isEmpty()) {
        return QStringLiteral("no %1 display (%2 is not set)").arg(system, variable);
    }
    return QStringLiteral("no %1 display (nothing answers at %2=%3)").arg(system, variable, value);
}

}  // namespace

QString displayProblem(const SessionEnvironment& environment, const QString& x11Display,
                       const DisplayProbes& probes) {
    const QString x11Missing =
        missingDisplay(QStringLiteral("X11"), QStringLiteral("DISPLAY"), x11Display);
    const QString waylandMissing = missingDisplay(
        QStringLiteral("Wayland"), QStringLiteral("WAYLAND_DISPLAY"), environment.waylandDisplay);
    QStringList missing;
    bool waylandNamed = false;
    for (const QString& entry : qtPlatformFor(environment).split(u';', Qt::SkipEmptyParts)) {
        // A platform may carry options after a colon: "xcb:nomitshm".
        const QString plugin = entry.section(u':', 0, 0).trimmed();
        if (plugin == u"xcb") {
            if (probes.x11()) {
                return {};
            }
            missing.append(x11Missing);
        } else if (plugin.startsWith(u"wayland")) {
            if (probes.wayland()) {
                return {};
            }
            missing.append(waylandMissing);
            waylandNamed = true;
        } else {
            return {};
        }
    }
    if (environment.qtPlatform.isEmpty() && !waylandNamed) {
        missing.append(waylandMissing);
    }
    missing.removeDuplicates();
    return missing.join(QStringLiteral(" and "));
}

}  // namespace lumi::platform
