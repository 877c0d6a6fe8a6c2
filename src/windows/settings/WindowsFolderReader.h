// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderReader.h"

namespace lumi::settings {

// The folders of the Windows file system for the picture list's folder entries. Paths are
// UTF-8 and reach the system through the wide calls; join() puts a backslash between a folder
// and a name unless the folder ends with "\" or "/".
//
// A folder's identity is its volume's serial number and its file index, taken through a
// handle opened on the path, so that a symbolic link or a junction leads to the identity of
// its target. An entry that is a symbolic link or a junction counts as what it leads to (and
// is left out when it leads nowhere); other reparse points (files kept in the cloud, say) are
// taken as they are listed, so that listing a folder never fetches a file. Entries that the
// file system marks hidden or system (FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM) are
// given as hidden; names that start with "." are hidden too, as on Linux, which the core sees
// to itself.
class WindowsFolderReader final : public platform::FolderReader {
public:
    std::optional<platform::FolderIdentity> identify(const std::string& path) const override;
    bool list(
        const std::string& path,
        const std::function<void(const platform::FolderEntry& entry)>& onEntry) const override;
    std::string join(const std::string& folder, std::string_view name) const override;
};

}  // namespace lumi::settings
