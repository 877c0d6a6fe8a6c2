#include <QApplication>
#include <QStringList>

#include "music/FluidSynthPlayer.h"
#include "platform/Clock.h"
#include "platform/IniSettingsStore.h"
#include "platform/InstallFolder.h"
#include "platform/InstanceRegistry.h"
#include "platform/Platform.h"
#include "platform/QtCursor.h"
#include "platform/QtShell.h"
#include "setup/QtSetupDialogs.h"
#include "startup/CommandLine.h"
#include "startup/Module1.h"

namespace {

// The display modes draw in device pixels; the dialogs may follow the user's scale factor.
// The mode is read from the arguments as the desktop passes them, before the application
// object exists (which is when the scaling must be settled).
lumi::platform::PixelScaling scalingFor(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    using lumi::startup::RunMode;
    const RunMode mode = lumi::startup::modeFor(lumi::startup::switchOf(
        lumi::startup::normaliseCommandLine(arguments.join(QLatin1Char(' ')))));
    return mode == RunMode::FullScreen || mode == RunMode::Preview
               ? lumi::platform::PixelScaling::DevicePixels
               : lumi::platform::PixelScaling::UserScaleFactor;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumi;
    platform::prepareApplication(scalingFor(argc, argv));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumiscribe"));

    const auto instances = platform::registerThisInstance();
    const auto windows = platform::createWindowServices();
    const auto password = platform::createPasswordService();
    platform::IniSettingsStore settings(platform::defaultSettingsFile());
    platform::QtCursor cursor;
    const platform::SystemClock clock;
    setup::QtSetupDialogs setupDialogs;
    platform::QtShell shell;

    startup::Module1 module1(startup::StartupServices{
        *windows, *instances, *password, settings, cursor, clock,
        []() -> std::unique_ptr<platform::MidiPlayer> {
            return std::make_unique<music::FluidSynthPlayer>();
        },
        platform::installDir(), [] { platform::endProcessNow(); }, setupDialogs, shell});

    // The command line as one text, as the desktop hands it to a screen saver.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    if (module1.Main(commandLine) == startup::Module1::Outcome::EndProcess) {
        return 0;
    }
    return QApplication::exec();
}
