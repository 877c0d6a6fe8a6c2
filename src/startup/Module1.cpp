#include "startup/Module1.h"

#include <QWidget>

#include "startup/CommandLine.h"

namespace lumi::startup {

Module1::Module1(StartupServices services) : services_(std::move(services)) {}

Module1::~Module1() = default;

Module1::Outcome Module1::Main(const QString& commandLine) {
    const QString cmdLine = normaliseCommandLine(commandLine);
    const QString switchText = switchOf(cmdLine);
    const platform::NativeWindow displayProperties =
        services_.windows.findTopLevelWindow(QStringLiteral("Display Properties"));
    const bool anotherInstance = services_.instances.anotherInstanceRunning();
    if (switchText == u"/s" && displayProperties == 0 && anotherInstance) {
        return Outcome::EndProcess;
    }
    switch (modeFor(switchText)) {
        case RunMode::FullScreen:
            return runFullScreen();
        case RunMode::ChangePassword:
            return changePassword();
        case RunMode::Preview:
        case RunMode::Settings:
        case RunMode::None:
            break;
    }
    return Outcome::EndProcess;
}

Module1::Outcome Module1::runFullScreen() {
    ScreenRect = services_.windows.screenRect();
    player_ = services_.makePlayer();
    frmMain_ = std::make_unique<display::frmMain>(display::DisplayServices{
        services_.settings, services_.cursor, services_.windows, services_.clock, *player_,
        services_.installDir, ScreenRect.size(),
        services_.endProcess});
    frmMain_->Form_Load();
    services_.windows.showTopMost(*frmMain_, QRect(QPoint(0, 0), ScreenRect.size()));
    services_.windows.setScreenSaverRunning(true);
    return Outcome::RunEventLoop;
}

Module1::Outcome Module1::changePassword() {
    // The hidden owner window of the password dialog; it never shows.
    QWidget frmEnterPassword;
    services_.password.changePassword(QStringLiteral("SCRSAVE"), &frmEnterPassword, 0, 0);
    return Outcome::EndProcess;
}

}  // namespace lumi::startup
