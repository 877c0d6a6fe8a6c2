// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

#include "platform/SettingsStore.h"
#include "settings/SettingKeys.h"
#include "linux/startup/ProgramInfo.h"

namespace lumi::idle {

// The command line of lumiscribe-idle: "--after SECONDS" (or "--after=SECONDS") sets the
// wait in whole seconds from 1 to 86400 instead of the setting; "--help" or "--version"
// anywhere asks for that text instead, whatever else is given.
struct IdleOptions {
    std::optional<std::chrono::seconds> after;
    QString error;  // what could not be used; empty when all was fine
    startup::InfoRequest info = startup::InfoRequest::None;
};

// Reads the arguments (without the program name).
IdleOptions parseIdleOptions(const QStringList& arguments);

// The wait that the setting "IdleWait" asks for: whole minutes from 0 to
// settings::kIdleWaitMaximumMinutes, where 0 means never. A missing value reads as the
// setting's default (10); a number outside the range is brought to its nearer end. A value
// that does not convert (no number, the empty text, a number outside -32768..32767) gives
// `unconverted`: the wait in force, so that it stays as it was, which at the start is the
// default.
std::chrono::minutes idleWaitOf(
    const platform::SettingsStore& store,
    std::chrono::minutes unconverted = std::chrono::minutes(settings::kIdleWaitBeforeReadMinutes));

}  // namespace lumi::idle
