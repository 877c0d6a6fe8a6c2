// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string_view>

namespace lumi::startup {

// The start-up of the Windows program: reads the command line that Windows' screen-saver
// machinery passes, refuses a second full-screen display, and runs the one mode that the
// switch names on the calling thread until that mode ends:
//
//   empty, "/s"  the full-screen display (display/DisplayWindow.h)
//   "/p <n>"     the preview, a child of window n that fills its client area and lives
//                until that window is destroyed
//   "/c"         the Setup dialog (setup/SetupDialog.h)
//   "/a"         the "Change Password" dialog (platform/ChangePasswordDialog.h)
//
// The rules of the command line are the core's (startup/CommandLine.h,
// startup/PreviewCommandLine.h); this class binds them to Win32.
class Module1 {
public:
    explicit Module1(HINSTANCE instance) : instance_(instance) {}

    // Runs the mode that `commandLine` (the arguments, without the program's name) selects and
    // returns the process's exit status: 0 for every mode that ran or was refused, 1 when the
    // mode's window could not be made.
    int Main(std::wstring_view commandLine);

    // Full-screen mode: the desktop window's rectangle; preview mode: the host's client
    // rectangle, whose right and bottom are the preview's width and height.
    RECT ScreenRect{};
    // The preview's host window, from the command line.
    HWND PreviewWnd = nullptr;

private:
    int runFullScreen();
    int runPreview(std::string_view cmdLine);
    int changePassword();

    HINSTANCE instance_;
};

}  // namespace lumi::startup
