// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::platform {

// The per-user folder for this program's run-time state (instance locks, the screen-saver
// flag), created on first use and the same for the life of the process. On Linux:
// "lumiscribe" in $XDG_RUNTIME_DIR. Without a usable $XDG_RUNTIME_DIR (unset, or a folder
// of another user), every process of the user takes the same folder of the user's own,
// lumiscribe-<uid> in $TMPDIR (else /tmp) or else ~/.cache/lumiscribe-runtime, so that the rule of
// one instance still holds, and one line on standard error gives the reason.
QString runtimeFolder();

}  // namespace lumi::platform
