// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

namespace lumi::display {

// The full-screen display, started by the start-up for an empty command line and for "/s".
// It covers the whole virtual screen with a top-most window, tells Windows that a screen
// saver runs while it is shown, hides the cursor, and runs the thread's message loop until
// the user ends it. `installDir` is the install folder with its closing separator. The result
// is the process's exit status (0 for an end by the user); the process may also end inside
// the call.
int runFullScreen(HINSTANCE instance, const std::wstring& installDir);

}  // namespace lumi::display
