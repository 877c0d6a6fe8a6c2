// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows program, lumiscribe.scr: Windows starts it with the screen-saver switches, and
// the start-up module runs the mode they name.
#include <windows.h>

#include "windows/startup/Module1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    lumi::startup::Module1 module1(instance);
    return module1.Main(commandLine ? commandLine : L"");
}
