// SPDX-License-Identifier: GPL-3.0-or-later
// lumiscribe-xscreensaver: the display as a program that a screen saver daemon starts and
// stops. It draws into the window that the daemon names and ends cleanly on SIGTERM.

#include <QApplication>
#include <QStringList>

#include <cstdio>

#include "music/FluidSynthPlayer.h"
#include "music/LazyMidiPlayer.h"
#include "music/NoMusicPlayer.h"
#include "platform/IniSettingsStore.h"
#include "platform/InstallFolder.h"
#include "platform/Platform.h"
#include "platform/ProcessSignals.h"
#include "platform/ShippedFiles.h"
#include "startup/HostOptions.h"
#include "startup/HostedDisplay.h"
#include "startup/ProgramInfo.h"

int main(int argc, char** argv) {
    using namespace lumi;
    // Help and version need no display, so they are answered before the window system is.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments << QString::fromLocal8Bit(argv[i]);
    }
    if (startup::answerInfoRequest(startup::parseHostOptions(rawArguments, QString()).info,
                                   startup::hostedDisplayUsage())) {
        return 0;
    }

    // The application object would abort without a display.
    if (const QString problem = platform::windowSystemProblem(rawArguments); !problem.isEmpty()) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(problem));
        return 1;
    }

    platform::prepareApplication(platform::PixelScaling::DevicePixels);
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

    const startup::HostOptions options = startup::parseHostOptions(
        QApplication::arguments().mid(1), qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "lumiscribe-xscreensaver: %s\n", qPrintable(options.error));
        std::fputs(qPrintable(startup::hostedDisplayUsage()), stderr);
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
