// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::settings {

// True when `path` names an ordinary file: not a folder, not hidden.
bool FileExists(const QString& path);

}  // namespace lumi::settings
