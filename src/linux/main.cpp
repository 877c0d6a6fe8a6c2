// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QStringList>

#include <cstdio>

#include "linux/display/DisplayWindow.h"
#include "linux/music/FluidSynthPlayer.h"
#include "linux/platform/Clock.h"
#include "linux/platform/IniSettingsStore.h"
#include "linux/platform/InstallFolder.h"
#include "platform/InstanceRegistry.h"
#include "linux/platform/Platform.h"
#include "platform/ProcessSignals.h"
#include "linux/platform/QtCursor.h"
#include "linux/platform/QtShell.h"
#include "linux/platform/SessionLock.h"
#include "linux/platform/ShippedFiles.h"
#include "linux/setup/QtSetupDialogs.h"
#include "startup/CommandLine.h"
#include "linux/startup/Module1.h"
#include "linux/startup/ProgramInfo.h"

namespace {

// The arguments, before the application object takes its own options out of them.
QStringList rawArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// The arguments as one text, before the application object takes its own options out of them.
QString rawCommandLine(int argc, char** argv) {
    return rawArguments(argc, argv).join(QLatin1Char(' '));
}

// The display modes draw in device pixels; the dialogs follow the desktop's scale.
// The mode is read from the arguments as the desktop passes them, before the application
// object exists (which is when the scaling must be settled).
lumi::platform::PixelScaling scalingFor(const QString& commandLine) {
    using lumi::startup::RunMode;
    const RunMode mode = lumi::startup::modeFor(
        lumi::startup::switchOf(lumi::startup::normaliseCommandLine(commandLine.toStdString())));
    return mode == RunMode::Settings || mode == RunMode::ChangePassword
               ? lumi::platform::PixelScaling::DesktopScale
               : lumi::platform::PixelScaling::DevicePixels;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumi;
    // Help and version need no display, so they are answered before the window system is.
    if (startup::answerInfoRequest(
            startup::infoRequestOf(startup::normaliseCommandLine(rawCommandLine(argc, argv).toStdString())),
            startup::screenSaverUsage())) {
        return 0;
    }

    // Every mode needs a display; the application object would abort without one.
    if (const QString problem = platform::windowSystemProblem(rawArguments(argc, argv));
        !problem.isEmpty()) {
        std::fprintf(stderr, "lumiscribe: %s\n", qPrintable(problem));
        return 1;
    }

    platform::prepareApplication(scalingFor(rawCommandLine(argc, argv)));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumiscribe"));

    // The command line as one text, as the desktop hands it to a screen saver.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    // Every mode that reads the install folder finds the shipped files there; text that
    // selects no mode ends at once and touches nothing.
    if (startup::modeFor(startup::switchOf(startup::normaliseCommandLine(commandLine.toStdString()))) !=
        startup::RunMode::None) {
        const auto seeding =
            platform::seedInstallFolder(platform::shippedFilesDir(), platform::installDir());
        if (!seeding.problem.isEmpty()) {
            std::fprintf(stderr, "lumiscribe: %s\n", qPrintable(seeding.problem));
        }
    }

    const auto instances = platform::registerThisInstance();
    const auto windows = platform::createWindowServices();
    platform::IniSettingsStore settings(platform::defaultSettingsFile());
    const auto password = platform::createPasswordService(settings);
    platform::QtCursor cursor;
    const platform::SystemClock clock;
    setup::QtSetupDialogs setupDialogs(settings);
    platform::QtShell shell;

    startup::Module1 module1(startup::StartupServices{
        *windows, *instances, *password, settings, cursor, clock,
        []() -> std::unique_ptr<platform::MidiPlayer> {
            return std::make_unique<music::FluidSynthPlayer>();
        },
        platform::installDir(), [] { platform::endProcessNow(); }, setupDialogs, shell,
        platform::helpPagePath(), platform::xscreensaverUserFile(),
        platform::hostedDisplayCommand(), [] { return platform::createSessionLock(); },
        [](QObject* context, std::function<void()> handler) {
            platform::onTerminationRequest(context, std::move(handler));
        }});

    // A display asked to end ends as it does for a key: the running flag goes back to 0.
    platform::onTerminationRequest(&app, [&module1] {
        if (display::DisplayWindow* form = module1.displayForm()) {
            form->form.CloseDown();
            return;
        }
        platform::endProcessNow();
    });

    switch (module1.Main(commandLine)) {
        case startup::Module1::Outcome::EndProcess:
            return 0;
        case startup::Module1::Outcome::EndProcessFailed:
            return 1;
        case startup::Module1::Outcome::RunEventLoop:
            break;
    }
    return QApplication::exec();
}
