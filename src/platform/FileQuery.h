// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumi::platform {

// What the Setup dialog asks of the file system about a name that the user chose. Names are
// in the edition's bytes of a file name (UTF-8, or a name's own bytes where it is not UTF-8).
// Each question follows symbolic links; a name that cannot be looked at is neither a file nor
// a folder, and has size 0.
class FileQuery {
public:
    virtual ~FileQuery() = default;

    virtual bool isFile(const std::string& path) const = 0;
    virtual bool isFolder(const std::string& path) const = 0;
    // The size of the file in bytes; 0 for anything that is not a readable file's size.
    virtual std::uint64_t size(const std::string& path) const = 0;
};

}  // namespace lumi::platform
