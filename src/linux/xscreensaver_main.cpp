// SPDX-License-Identifier: GPL-3.0-or-later
// lumiscribe-xscreensaver: the display as a program that a screen saver daemon starts and
// stops. It draws into the window that the daemon names and ends cleanly on SIGTERM.

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "linux/music/FluidSynthPlayer.h"
#include "music/LazyMidiPlayer.h"
#include "music/NoMusicPlayer.h"
#include "linux/platform/IniSettingsStore.h"
#include "linux/platform/InstallFolder.h"
#include "linux/platform/Platform.h"
#include "platform/ProcessSignals.h"
#include "linux/platform/ShippedFiles.h"
#include "linux/settings/XScreenSaverPrograms.h"
#include "linux/startup/HostOptions.h"
#include "linux/startup/HostedDisplay.h"
#include "linux/startup/ProgramInfo.h"

int main(int argc, char** argv) {
    using namespace lumi;
    // Help and version need no display, so they are answered before the window system is.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments << QString::fromLocal8Bit(argv[i]);
    }
    const startup::HostOptions request = startup::parseHostOptions(rawArguments, QString());
    if (startup::answerInfoRequest(request.info, startup::hostedDisplayUsage())) {
        return 0;
    }
    if (request.addToXScreenSaver && request.error.isEmpty()) {
        // Edits the user's XScreenSaver file and needs no display either; the application
        // object only tells where the running executable lies.
        QCoreApplication app(argc, argv);
        const settings::XScreenSaverListing listing = settings::addToXScreenSaver(
            platform::xscreensaverUserFile(), platform::hostedDisplayCommand());
        const QString message = settings::listingMessage(listing);
        if (listing.outcome == settings::XScreenSaverListing::Outcome::Failed) {
            std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(message));
            return 1;
        }
        std::fprintf(stdout, "%s\n", qPrintable(message));
        return 0;
    }

    const startup::HostOptions options =
        startup::parseHostOptions(rawArguments, qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(options.error));
        std::fputs(qPrintable(startup::hostedDisplayUsage()), stderr);
        return 1;
    }
    // A window of the daemon, or its root window, is an X window, also where the daemon runs
    // on XWayland in a Wayland session: the display then draws through X11 whatever
    // WAYLAND_DISPLAY says. Only a trial run in a window of its own follows the session.
    const platform::WindowSystem windowSystem =
        options.target == startup::HostOptions::Target::OwnWindow ? platform::WindowSystem::Session
                                                                   : platform::WindowSystem::X11;
    // The application object would abort without a display.
    if (const QString problem = platform::windowSystemProblem(rawArguments, windowSystem);
        !problem.isEmpty()) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(problem));
        return 1;
    }
    platform::prepareApplication(platform::PixelScaling::DevicePixels, windowSystem);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumiscribe"));

    const auto windows = platform::createWindowServices();
    if (!windows->canDrawInForeignWindows()) {
        std::fputs(
            "lumiscribe-xscreensaver: the display needs an X11 window; this is a Wayland "
            "session\n",
            stderr);
        return 1;
    }

    const auto seeding =
        platform::seedInstallFolder(platform::shippedFilesDir(), platform::installDir());
    if (!seeding.problem.isEmpty()) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(seeding.problem));
    }

    // The daemon starts one saver per monitor; only the one holding the lock plays music. A
    // preview in a settings program plays none, and leaves the lock to the savers.
    const auto musicLock = options.preview ? nullptr : platform::tryTakeExclusiveLock("music");
    std::unique_ptr<platform::MidiPlayer> player;
    if (musicLock) {
        // Made only when the display plays music.
        player =
            std::make_unique<music::LazyMidiPlayer>([]() -> std::unique_ptr<platform::MidiPlayer> {
                return std::make_unique<music::FluidSynthPlayer>();
            });
    } else {
        player = std::make_unique<music::NoMusicPlayer>();
    }

    platform::IniSettingsStore settings(platform::defaultSettingsFile());
    const platform::SystemClock clock;
    startup::HostedDisplay display(
        startup::HostedDisplay::Services{*windows, settings, clock, *player, platform::installDir(),
                                         [] { QCoreApplication::exit(0); }});

    platform::onTerminationRequest(&app, [&player] {
        player->stop();
        QCoreApplication::exit(0);
    });
    if (!display.start(options)) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: no window 0x%llx to draw in\n",
                     static_cast<unsigned long long>(options.window));
        return 1;
    }
    QApplication::exec();
    // Ends at once, as the full-screen display does: waiting for a SoundFont still loading or
    // a decode still running would only keep the daemon's next saver waiting.
    platform::endProcessNow();
}
