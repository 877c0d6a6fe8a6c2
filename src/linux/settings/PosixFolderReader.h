// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderReader.h"

namespace lumi::settings {

// The folders of a POSIX file system for the picture list's folder entries. Paths are the
// bytes of file names (platform::encodeFileName()). A folder's identity is its device and
// inode number; links are followed. No file system marks a file hidden here: hidden names
// are those starting with ".", which the core leaves out itself. join() gives the path in
// the clean form of QDir::cleanPath() ("a//b/./" becomes "a/b"), as the Linux edition has
// always named the pictures of a folder entry.
class PosixFolderReader final : public platform::FolderReader {
public:
    std::optional<platform::FolderIdentity> identify(const std::string& path) const override;
    bool list(
        const std::string& path,
        const std::function<void(const platform::FolderEntry& entry)>& onEntry) const override;
    std::string join(const std::string& folder, std::string_view name) const override;
};

}  // namespace lumi::settings
