// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::platform {

// The per-user folder for this program's run-time state (instance locks, the screen-saver
// flag), created on first use. On Linux: "lumiscribe" in $XDG_RUNTIME_DIR.
QString runtimeFolder();

}  // namespace lumi::platform
