// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

namespace lumi::startup {

// What a command line asks to be told instead of running: every program answers "--help" and
// "--version" on the standard output and end with exit code 0, before any window exists.
enum class InfoRequest { None, Help, Version };

// The request of a normalised command line of lumiscribe (see normaliseCommandLine): the
// whole line must be "--help" or "--version". Any other text keeps its meaning as a switch,
// so "--anything" still selects no mode and ends at once.
InfoRequest infoRequestOf(std::string_view normalisedCommandLine);

// "Lumiscribe 1.02", with the version of the build, and a closing newline.
QString versionText();

// The usage texts printed for InfoRequest::Help, each with a closing newline.
QString screenSaverUsage();
QString hostedDisplayUsage();
QString idleStarterUsage();

// Answers `request` on the standard output: `usage` for Help, versionText() for Version.
// Returns false, printing nothing, for None.
bool answerInfoRequest(InfoRequest request, const QString& usage);

}  // namespace lumi::startup
