// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace lumi::settings {

// Folder entries of the picture list. A list entry that names a folder (with or without a
// closing separator) stands for every picture in that folder and its subfolders; the display
// expands such entries each time it starts, so that pictures added to the folder show up by
// themselves. The Setup dialog uses isFolderEntry() to mark folder entries in its list.

// True when `entry` names an existing folder (a link to a folder counts).
bool isFolderEntry(const QString& entry);

// The file-name extensions, lower case and without the dot, of the picture formats that the
// display's decoder reads on this machine: Qt's image formats and the HEIF formats of
// display::heifExtensions().
const QStringList& pictureExtensions();

// True when the file name `name` ends with one of pictureExtensions(), case ignored.
bool hasPictureExtension(const QString& name);

// Orders two file names as file managers do: runs of digits compare as numbers ("IMG_2"
// before "IMG_10", "7" equal to "007" until the tie-break), everything else without regard
// to case; names that still tie compare by their number of leading zeros, then by their
// exact characters, so that the order is total.
bool naturalLess(const QString& left, const QString& right);

// The pictures of the folder `folder` and of its subfolders, as full paths, ordered by path
// name by name with naturalLess() (a subfolder's pictures stand where the subfolder's name
// falls among the folder's files). Hidden files and folders (names starting with ".") are
// left out, as file managers leave them out. A subfolder that cannot be read is skipped; a
// folder reached a second time through a link (a link loop, or two links to one folder) is
// not read again. Only the paths are held. Empty when `folder` holds no picture or is no
// readable folder.
QStringList expandFolder(const QString& folder);

// The picture list `entries` with every folder entry replaced by expandFolder() of it, in
// list order; other entries stay as they are, duplicates included. A folder entry that
// yields no picture stays in place as it is, so that the display skips and reports it like
// any entry that does not load.
QStringList expandPictureList(const QStringList& entries);

}  // namespace lumi::settings
