// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FolderReader.h"

// Folder entries of the picture list. A list entry that names a folder (with or without a
// closing separator) stands for every picture in that folder and its subfolders; the display
// expands such entries each time it starts, so that pictures added to the folder show up by
// themselves. Names and paths are the bytes of file names as the core holds them (UTF-8, or a
// name's own bytes where it is not UTF-8). Each edition gives its folder reader and the
// extensions of the picture formats its decoder reads.
namespace lumi::settings {

// Orders two file names as file managers do: runs of ASCII digits compare as numbers
// ("IMG_2" before "IMG_10", "7" equal to "007" until the tie-break), everything else by code
// point without regard to case; names that still tie compare by their number of leading zeros
// at the first run where these differ, then by their exact bytes, so that the order is total.
//
// Case is folded by the simple folding of Unicode for ASCII, the Latin-1 Supplement, Latin
// Extended-A, Greek and Coptic, and Cyrillic (with its Supplement); letters of other scripts
// compare as they are. A byte that is not part of valid UTF-8 counts as the code point
// U+DC00 + byte, which sorts after the letters of the scripts above.
bool naturalLess(std::string_view left, std::string_view right);

// True when the file name `name` ends with a dot and one of `extensions` (lower case, without
// the dot), ASCII case ignored. A name that is only an extension (".jpg") has none.
bool hasPictureExtension(std::string_view name, std::span<const std::string> extensions);

// True when `entry` names an existing folder (a link to a folder counts).
bool isFolderEntry(const std::string& entry, const platform::FolderReader& reader);

// The pictures of the folder `folder` and of its subfolders, as full paths, ordered by path
// name by name with naturalLess() (a subfolder's pictures stand where the subfolder's name
// falls among the folder's files). Hidden files and folders (names starting with ".", and
// those the file system marks hidden) are left out, as file managers leave them out. A
// subfolder that cannot be read is skipped; a folder reached a second time through a link (a
// link loop, or two links to one folder) is not read again. Besides the paths found, only the
// names of the pictures and subfolders of the folders being read are held. Empty when `folder`
// holds no picture or is no readable folder.
std::vector<std::string> expandFolder(const std::string& folder,
                                      const platform::FolderReader& reader,
                                      std::span<const std::string> extensions);

// The picture list `entries` with every folder entry replaced by expandFolder() of it, in
// list order; other entries stay as they are, duplicates included. A folder entry that
// yields no picture stays in place as it is, so that the display skips and reports it like
// any entry that does not load.
std::vector<std::string> expandPictureList(const std::vector<std::string>& entries,
                                           const platform::FolderReader& reader,
                                           std::span<const std::string> extensions);

}  // namespace lumi::settings
