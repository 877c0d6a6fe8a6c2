// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace lumi::setup {

// The Setup dialog, shown modally and without an owner for "/c" (anything after the switch,
// such as a window number, is ignored); returns the exit status when it closes: 0, or 1 when
// the dialog could not be made.
int runSetup(HINSTANCE instance);

}  // namespace lumi::setup
