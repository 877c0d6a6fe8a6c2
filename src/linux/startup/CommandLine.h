// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::startup {

// The run modes that the first two characters of the command line select.
enum class RunMode { FullScreen, Preview, Settings, ChangePassword, None };

// The command line with leading and trailing spaces removed, in lower case.
QString normaliseCommandLine(const QString& commandLine);

// The switch of a normalised command line: its first two characters, or all of it.
QString switchOf(const QString& normalisedCommandLine);

// The mode that `switchText` selects: empty or "/s" full screen, "/p" preview, "/c"
// settings, "/a" change password, anything else none.
RunMode modeFor(const QString& switchText);

}  // namespace lumi::startup
