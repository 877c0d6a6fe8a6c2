// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/FormHost.h"
#include "settings/PictureListFormat.h"

namespace lumi::settings {

// The picture list "List.txt" in the install folder: the pictures that the Setup dialog
// chose and the display shows, one entry per line. The display and the Setup dialog both
// read and write it through these functions only, so that they agree on its bytes, which are
// those of settings/PictureListFormat.h. Paths and entries are UTF-8 here; the file system
// gets them as UTF-16.
//
// Reads and edits go through the lock file "<path>.lock" beside the list, locked with
// LockFileEx: an edit holds it exclusively, a read shares it. The system releases the lock of
// a process that ends, however it ends, so a lock is never left behind; the lock file itself
// stays. Every wait for the lock is bounded, so that a hung holder costs the waiter a moment
// of its thread, not the thread.

// The picture list file of the install folder `installDir` (which ends with a separator).
std::string pictureListPath(const std::string& installDir);

// The outcome of reading the picture list.
struct PictureListReadResult {
    std::vector<std::string> entries;  // in file order; empty when missing or unreadable
    std::string error;                 // empty on success; otherwise names the file and the reason
    bool ok() const { return error.empty(); }
};

// Reads the list at `path`, sharing its lock: a missing file is an empty list and no error;
// a file that exists but cannot be read, or is no regular file (a folder, a pipe, a device),
// gives no entries and an error; what is no regular file is refused before it is opened for
// reading, and a file that stops answering for five seconds (a network share whose server is
// gone) is given up, its read left to end on a thread of its own. When the lock is not had
// within half a second (or its file cannot be opened: an install folder the user may not
// write), the list is read all the same: a write replaces the file as a whole, so a read sees
// the old list or the new one. Any bytes read as some list: the entries are those of
// parsePictureList().
PictureListReadResult readPictureList(const std::string& path);

// Replaces the list at `path` with `entries`: every entry quoted and followed by CR LF; no
// entries make a 0-byte file. The bytes go to "<path>.new" beside the list, are flushed to the
// disk, and that file then replaces the list in one step, so that a failure or a kill at any
// moment leaves the old list or the new one, never a torn one. Returns nullopt on success,
// otherwise an error naming the file and the reason. When an entry fails fitsPictureList(),
// nothing is written. Takes no lock: callers that may race another writer use
// editPictureList().
std::optional<std::string> writePictureList(const std::string& path,
                                            const std::vector<std::string>& entries);

// One change of the list: what the list becomes, given what it holds.
using PictureListEdit = std::function<std::vector<std::string>(std::vector<std::string> entries)>;

// The outcome of an edit of the list.
struct PictureListEditResult {
    std::vector<std::string> entries;  // what the file holds now
    std::string error;                 // empty on success; otherwise names the file and the reason
    bool ok() const { return error.empty(); }
};

// Applies `edit` to what the list at `path` holds at this moment, and writes the result, all
// under the list's lock held exclusively, so that two Setup dialogs open at once each change
// the list the other left instead of writing back their own older copy. The lock is waited
// for at most two seconds. A list that cannot be read is not written. On failure the file
// keeps its bytes and `entries` is what it holds.
PictureListEditResult editPictureList(const std::string& path, const PictureListEdit& edit);

// The extensions of the picture formats that the Windows edition's decoder (WIC) reads, lower
// case, without the dot.
std::span<const std::string> windowsPictureExtensions();

// The picture list at `path` as the display takes it at its start: read as readPictureList()
// reads it, with its folder entries expanded (settings/PictureFolders.h) over the Windows
// file system and windowsPictureExtensions().
display::PictureListRead readDisplayPictureList(const std::string& path);

}  // namespace lumi::settings
