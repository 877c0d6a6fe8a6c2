// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "linux/platform/PasswordService.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"

namespace lumi::platform {

// How the windows of a process are measured.
enum class PixelScaling {
    // Every position and size is a device pixel, so that one picture pixel is one screen
    // pixel whatever scale the desktop or the user asks of the toolkit: the display modes.
    DevicePixels,
    // Windows grow as a whole by the desktop's scale (on X11 its font resolution Xft.dpi / 96;
    // elsewhere none) times a scale factor that the user set for the toolkit: the dialog modes.
    // At 96 dpi and no factor set, a position or size is a device pixel.
    DesktopScale,
};

// The window system that a program connects to.
enum class WindowSystem {
    // The session's: Wayland in a Wayland session, X11 elsewhere (a QT_QPA_PLATFORM that the
    // user set wins).
    Session,
    // X11 whatever the session: for drawing into a window of another X11 program.
    X11,
};

// Prepares the process for the platform before the application object exists: windows are
// measured as `scaling` says, and the toolkit speaks to `windowSystem`.
void prepareApplication(PixelScaling scaling, WindowSystem windowSystem = WindowSystem::Session);

// Why the process cannot reach the window system that prepareApplication() would choose, as
// one line naming what is missing ("no X11 display (DISPLAY is not set) and no Wayland
// display (WAYLAND_DISPLAY is not set)"), or the empty text when a display answers. Without
// one the toolkit would end the process with an abort; callers print the line and end with
// status 1 instead. Called before prepareApplication(). `arguments` are the program's own
// (without its name): a "-platform" among them is the user's choice for the toolkit, which
// is not judged here, and neither is a platform other than X11 and Wayland. `windowSystem` is
// the one that prepareApplication() will be given.
QString windowSystemProblem(const QStringList& arguments,
                            WindowSystem windowSystem = WindowSystem::Session);

// The platform's own implementations of the services that differ between systems. The
// window services are those of the window system that the application object connected to,
// so they are made after it.
std::unique_ptr<WindowServices> createWindowServices();
// The password service stores what it needs in `settings`, which must outlive it.
std::unique_ptr<PasswordService> createPasswordService(SettingsStore& settings);

// Ends the process at once with exit code 0: no destructor runs and nothing is saved.
// Output already written to the standard streams is flushed first.
[[noreturn]] void endProcessNow();

}  // namespace lumi::platform
