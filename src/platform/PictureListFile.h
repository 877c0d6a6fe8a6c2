// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumi::platform {

// The picture list file "List.txt" of the install folder, as the Setup dialog edits it.
// Entries are in the edition's bytes of a file name, in file order; a folder's entry ends
// with "/".
class PictureListFile {
public:
    using Entries = std::vector<std::string>;
    // One change of the list: what the list becomes, given what it holds.
    using Edit = std::function<Entries(Entries entries)>;

    // What the file holds after a read or an edit.
    struct Result {
        Entries entries;
        std::string error;  // empty on success; otherwise names the file and the reason
        bool ok() const { return error.empty(); }
    };

    virtual ~PictureListFile() = default;

    // True when the file exists (an empty file too).
    virtual bool exists() const = 0;

    // What the file holds: a missing file is an empty list and no error; a file that cannot
    // be read gives no entries and an error.
    virtual Result read() const = 0;

    // Applies `edit` to what the file holds at this moment and writes the result, under the
    // list's lock, so that two dialogs open at once each change the list the other left. A
    // list that cannot be read is not written. On failure the file keeps its bytes and the
    // result's entries are what it holds.
    virtual Result edit(const Edit& edit) = 0;

    // True when the file can hold `entry` unchanged (a file's name, or a folder's with or
    // without its closing "/").
    virtual bool canHold(const std::string& entry) const = 0;
};

}  // namespace lumi::platform
