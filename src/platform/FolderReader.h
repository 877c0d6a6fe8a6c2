// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumi::platform {

// Which folder a path leads to, whatever links lead there: two paths to one folder give equal
// identities. Each edition fills it from its file system (device and inode number; volume
// serial number and file index).
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;

    auto operator<=>(const FolderIdentity&) const = default;
};

// One entry of a folder as FolderReader::list() gives it.
struct FolderEntry {
    std::string_view name;  // the name within the folder, in the core's bytes
    bool folder = false;    // a folder, or a link that leads to one; otherwise a regular file
    bool hidden = false;    // hidden by the file system's own mark (not by its name)
};

// The folders of the file system as the picture list's folder entries read them. Paths are
// file names in the core's bytes (see settings/PictureListFormat.h); the reader alone knows
// the edition's separator. The calls may block on a slow disk; they are made where the
// picture list is read.
class FolderReader {
public:
    virtual ~FolderReader() = default;

    // The identity of the folder at `path`, following links; nothing when `path` is no
    // folder or its identity cannot be taken.
    virtual std::optional<FolderIdentity> identify(const std::string& path) const = 0;

    // Calls `onEntry` once for each folder and regular file in the folder at `path`, in any
    // order, without "." and ".."; entries that are neither (devices, pipes, dangling links)
    // are not given. The entry's name is valid during the call only. False when the folder
    // could not be read; the entries given before a failure stand.
    virtual bool list(const std::string& path,
                      const std::function<void(const FolderEntry& entry)>& onEntry) const = 0;

    // The path of the entry `name` within the folder at `folder`, with one separator between
    // them (none added when `folder` already ends with one).
    virtual std::string join(const std::string& folder, std::string_view name) const = 0;
};

}  // namespace lumi::platform
