// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <string_view>
#include <memory>
#include <vector>

#include "linux/display/CoverWindow.h"
#include "linux/display/Colors.h"
#include "linux/display/DisplayWindow.h"
#include "linux/platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/InstanceRegistry.h"
#include "platform/MidiPlayer.h"
#include "linux/platform/PasswordService.h"
#include "linux/platform/SessionLock.h"
#include "platform/SettingsStore.h"
#include "linux/platform/Shell.h"
#include "linux/platform/WindowServices.h"
#include "linux/setup/SetupDialogs.h"

namespace lumi::startup {

// Everything the start-up needs from the platform. main() fills it with the real services,
// tests with fakes.
struct StartupServices {
    platform::WindowServices& windows;
    platform::InstanceRegistry& instances;
    platform::PasswordService& password;
    platform::SettingsStore& settings;
    platform::Cursor& cursor;
    const platform::Clock& clock;
    std::function<std::unique_ptr<platform::MidiPlayer>()> makePlayer;
    QString installDir;
    std::function<void()> endProcess;
    setup::SetupDialogs& setupDialogs;  // the Setup dialog's message boxes and file dialog
    platform::Shell& shell;             // opens the help page and web site from the Setup dialog
    QString helpPage;                   // the path of the help page that ships with the program
    QString xscreensaverFile;           // the user's XScreenSaver file, for the Setup dialog
    QString hostedDisplayCommand;       // how XScreenSaver's list names our saver
    // Makes the lock that the end of the full-screen display asks for ("LockScreen" 1);
    // empty: the display never locks.
    std::function<std::unique_ptr<platform::SessionLock>()> makeSessionLock = nullptr;
    // Runs the handler from the event loop when the process is asked to terminate, for as
    // long as the object lives; empty: such a request ends the process as the system does.
    std::function<void(QObject*, std::function<void()>)> onTerminationRequest = nullptr;
};

// The start-up module: reads the command line and starts the one mode that it names.
// It owns the windows that it creates for the life of the process.
class Module1 {
public:
    enum class Outcome { RunEventLoop, EndProcess, EndProcessFailed };

    explicit Module1(StartupServices services);
    ~Module1();

    // Starts the mode that `commandLine` names. RunEventLoop means a window of the program
    // is open and the process lives on in the event loop; EndProcess means it ends now;
    // EndProcessFailed means it ends now because the mode cannot run in this session, which
    // has been reported on the standard error.
    Outcome Main(const QString& commandLine);

    // Full-screen mode: the screen rectangle; preview mode: the host's client rectangle.
    QRect ScreenRect;
    platform::NativeWindow PreviewWnd = 0;

    display::DisplayWindow* displayForm() const { return frmMain_.get(); }
    const std::vector<std::unique_ptr<display::CoverWindow>>& coverWindows() const {
        return coverWindows_;
    }
    QWidget* previewForm() const { return previewForm_.get(); }

private:
    Outcome runFullScreen();
    void coverOtherMonitors(const QList<QRect>& monitors);
    Outcome changePassword();
    Outcome runSettings();
    Outcome runPreview(std::string_view cmdLine);

    StartupServices services_;
    std::unique_ptr<platform::MidiPlayer> player_;
    std::unique_ptr<display::DisplayWindow> frmMain_;
    // One for each monitor beside the form's; they call into frmMain_, so they go first.
    std::vector<std::unique_ptr<display::CoverWindow>> coverWindows_;
    std::unique_ptr<QWidget> previewForm_;
    QTimer previewHostWatch_;
};

}  // namespace lumi::startup
