// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumi::platform {

// Neither X11 nor Wayland has a system-wide "a screen saver runs" flag: the state is kept in
// the file "screensaver-running" of the program's runtime folder, "1" or "0", so that it can
// be observed from outside.

// Writes the flag and returns its previous state (false when there was no flag).
bool swapScreenSaverFlag(bool running);

}  // namespace lumi::platform
