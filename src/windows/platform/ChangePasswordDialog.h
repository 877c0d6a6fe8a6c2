// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace lumi::platform {

// The "Change Password" dialog of the "/a" start (dialog resource IDD_CHANGE_PASSWORD). The
// program keeps no password: the dialog says that Windows' own sign-in protects the session
// after the screen saver, and its check box shows and sets Windows' "On resume, display logon
// screen" (SPI_GETSCREENSAVESECURE / SPI_SETSCREENSAVESECURE) the moment it is clicked. OK,
// Enter and Esc close it. Modal to `owner`; returns when it closes.
void showChangePasswordDialog(HINSTANCE instance, HWND owner);

// Windows' "On resume, display logon screen": whether it is on, and setting it at once.
bool logonScreenOnResume();
void setLogonScreenOnResume(bool secure);

}  // namespace lumi::platform
