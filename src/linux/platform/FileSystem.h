// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace lumi::platform {

// Why files cannot be created or written in `folder`, in words for a message: "the disk is
// read-only", "the disk is full" or "no permission to create files in folder …"; nullopt when
// none of these holds (the folder may still refuse for another reason).
std::optional<QString> writeProblemOf(const QString& folder);

// Removes the lock file at `lockPath` when no process holds it: a holder keeps an exclusive
// lock on the file's descriptor while it lives, so a file without one was left by a process
// that ended (killed perhaps before it wrote its process id). True when the file is gone.
bool removeAbandonedLockFile(const QString& lockPath);

// Removes the temporary files that an interrupted replacement of `filePath` left beside it:
// "<name>.XXXXXX" (six letters or digits, not all of them lower-case letters), regular files
// of this user. Call only while holding
// the lock under which the file is replaced, so that no replacement is under way.
void removeAbandonedTemporaries(const QString& filePath);

// The user's home folder: $HOME when set and not empty, otherwise the one of the user's
// account entry.
QString homeFolder();

}  // namespace lumi::platform
