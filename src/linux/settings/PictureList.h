// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "settings/PictureListFormat.h"

namespace lumi::settings {

// The picture list "List.txt" in the install folder: the pictures that the Setup dialog
// chose and the display shows, one entry per line. The display and the Setup dialog both
// read and write it through these functions only, so that they agree on its bytes.
//
// The bytes of the file are those of settings/PictureListFormat.h; an entry that is not UTF-8
// (a name written in Latin-1) reads as platform::decodeFileName() gives it and is written
// back byte for byte.

// The picture list file of the install folder `installDir` (which ends with a separator).
QString pictureListPath(const QString& installDir);

// True when the file format can hold `entry` unchanged: it holds no double quote, CR or LF
// (which would end the entry early) and is a file name as platform::decodeFileName() holds it.
bool canHoldPath(const QString& entry);

// The outcome of reading the picture list.
struct PictureListReadResult {
    QStringList entries;  // in file order; empty when the file is missing or unreadable
    QString error;        // empty on success; otherwise names the file and the reason
    bool ok() const { return error.isEmpty(); }
};

// Reads the list at `path`. A missing file is an empty list and no error; a file that exists
// but cannot be read, is not a regular file (a pipe, a device, a folder) or does not answer
// within a second gives no entries and an error. Never fails otherwise: any bytes read as
// some list.
//
// The entries are those of parsePictureList().
PictureListReadResult readPictureList(const QString& path);

// Replaces the list at `path` with `entries`: every entry quoted and followed by CR LF; no
// entries make a 0-byte file. The file is replaced as a whole, so that a failure never
// leaves a partly written list. Returns nullopt on success, otherwise an error message naming
// the file and the reason. When an entry fails canHoldPath(), nothing is written.
std::optional<QString> writePictureList(const QString& path, const QStringList& entries);

// One change of the list: what the list becomes, given what it holds.
using PictureListEdit = std::function<QStringList(QStringList entries)>;

// The outcome of an edit of the list.
struct PictureListEditResult {
    QStringList entries;  // what the file holds now
    QString error;        // empty on success; otherwise names the file and the reason
    bool ok() const { return error.isEmpty(); }
};

// Applies `edit` to what the list at `path` holds at this moment, and writes the result:
// under the list's lock file "<path>.lock", so that two Setup dialogs open at once each
// change the list the other left instead of writing back their own older copy. A list that
// cannot be read is not written. On failure the file keeps its bytes and `entries` is what it
// holds.
PictureListEditResult editPictureList(const QString& path, const PictureListEdit& edit);

}  // namespace lumi::settings
