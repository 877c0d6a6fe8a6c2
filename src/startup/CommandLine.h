// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lumi::startup {

// The run modes that the first two characters of the command line select.
enum class RunMode { FullScreen, Preview, Settings, ChangePassword, None };

// The command line (UTF-8) with leading and trailing spaces removed, its ASCII letters in
// lower case. Only spaces are trimmed: a tab is part of the line.
std::string normaliseCommandLine(std::string_view commandLine);

// The switch of a normalised command line: its first two characters, or all of it.
std::string switchOf(std::string_view normalisedCommandLine);

// The mode that `switchText` selects: empty or "/s" full screen, "/p" preview, "/c"
// settings, "/a" change password, anything else none.
RunMode modeFor(std::string_view switchText);

}  // namespace lumi::startup
