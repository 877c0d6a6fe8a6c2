// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumi::display {

// What the system tells of a file without reading it, following links to their target.
struct FileStatus {
    enum class Kind { Missing, Regular, Folder, Device, Pipe, Other, Unknown };

    Kind kind = Kind::Missing;
    std::uint64_t size = 0;      // of a regular file
    std::uint64_t modified = 0;  // the last write, in the system's file time
    unsigned long error = 0;     // the system's error code when the kind is Unknown
};

// The status of the file at `path` (UTF-8), through a handle opened without read access, so
// that nothing is read and no device or pipe is waited on.
FileStatus fileStatus(const std::string& path);

}  // namespace lumi::display
