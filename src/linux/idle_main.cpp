// SPDX-License-Identifier: GPL-3.0-or-later
// lumiscribe-idle: started with the desktop session, it starts the screen saver
// (lumiscribe /s, from its own folder) once the user has been idle for the wait, and watches
// on until the session ends.

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <optional>

#include "linux/idle/IdleOptions.h"
#include "linux/idle/IdleStarter.h"
#include "linux/idle/SettingsWatch.h"
#include "linux/platform/IdleMonitor.h"
#include "linux/platform/IniSettingsStore.h"
#include "platform/InstanceRegistry.h"
#include "platform/ProcessSignals.h"
#include "platform/SessionState.h"
#include "settings/SettingKeys.h"
#include "linux/startup/ProgramInfo.h"

namespace {

void tell(const QString& line) {
    std::fprintf(stdout, "lumiscribe-idle: %s\n", qPrintable(line));
    std::fflush(stdout);
}

void complain(const QString& line) {
    std::fprintf(stderr, "lumiscribe-idle: %s\n", qPrintable(line));
}

QString waitNote(std::chrono::milliseconds wait) {
    return wait.count() > 0 ? QStringLiteral("wait %1").arg(lumi::idle::waitText(wait))
                            : QStringLiteral("IdleWait is 0: starting nothing until it is set");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumi;
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments << QString::fromLocal8Bit(argv[i]);
    }
    const idle::IdleOptions options = idle::parseIdleOptions(rawArguments);
    if (startup::answerInfoRequest(options.info, startup::idleStarterUsage())) {
        return 0;
    }
    if (!options.error.isEmpty()) {
        complain(options.error);
        std::fputs(qPrintable(startup::idleStarterUsage()), stderr);
        return 2;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lumiscribe"));

    // One per session: the desktop may start it both from its autostart entry and as a
    // user service, and the second start is no failure.
    QString lockProblem;
    const auto lock = platform::tryTakeExclusiveLock("idle", &lockProblem);
    if (!lock && !lockProblem.isEmpty()) {
        complain(lockProblem);
        return 1;
    }
    if (!lock) {
        tell(QStringLiteral("another lumiscribe-idle runs in this session"));
        return 0;
    }

    const platform::IdleSource source = platform::openIdleMonitor();
    if (!source.monitor) {
        complain(QStringLiteral("no idle source: %1").arg(source.problem));
        return 1;
    }
    const auto session = platform::createSessionState();
    platform::IniSettingsStore settings(platform::defaultSettingsFile());
    // A stored wait that does not convert keeps the wait in force (at the start, the default).
    const auto waitFromSettings = [&settings](std::chrono::milliseconds current) {
        return std::chrono::milliseconds(
            idle::idleWaitOf(settings, std::chrono::duration_cast<std::chrono::minutes>(current)));
    };
    const QString display = QCoreApplication::applicationDirPath() + QStringLiteral("/lumiscribe");

    idle::IdleStarter starter(
        idle::IdleStarter::Services{
            *source.monitor, *session, [] { return platform::instanceRunning(); },
            [display] {
                if (!QProcess::startDetached(display, {QStringLiteral("/s")})) {
                    complain(QStringLiteral("cannot start %1").arg(display));
                }
            },
            tell, std::chrono::minutes(1), platform::otherScreenSaverInCharge},
        options.after
            ? std::chrono::milliseconds(*options.after)
            : waitFromSettings(std::chrono::minutes(settings::kIdleWaitBeforeReadMinutes)));
    tell(QStringLiteral("watching idle time through %1 (%2)")
             .arg(source.monitor->sourceName(), waitNote(starter.wait())));

    // The wait set in Setup applies from the moment it is stored; --after stays.
    std::optional<idle::SettingsWatch> settingsWatch;
    if (!options.after) {
        settingsWatch.emplace(settings.filePath(), [&starter, &waitFromSettings] {
            const auto wait = waitFromSettings(starter.wait());
            if (wait != starter.wait()) {
                starter.setWait(wait);
                tell(waitNote(wait));
            }
        });
    }

    QObject::connect(source.monitor.get(), &platform::IdleMonitor::lost, &app,
                     [](const QString& why) {
                         complain(why);
                         QCoreApplication::exit(1);
                     });
    platform::onTerminationRequest(&app, [] { QCoreApplication::exit(0); });
    return QCoreApplication::exec();
}
