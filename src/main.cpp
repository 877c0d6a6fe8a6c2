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
#include "startup/Module1.h"

int main(int argc, char** argv) {
    using namespace lumi;
    platform::prepareApplication();
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
