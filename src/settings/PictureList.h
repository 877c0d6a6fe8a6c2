// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumi::settings {

// The picture list "List.txt" in the install folder: the pictures that the Setup dialog
// chose and the display shows, one entry per line. The display and the Setup dialog both
// read and write it through these functions only, so that they agree on its bytes.
//
// File format: each entry is a double quote, the entry's text, a double quote and CR LF, in
// the local 8-bit encoding. Hand-written files may also hold unquoted entries separated by
// commas; see readPictureList().

// The most entries that a reader takes from the file.
inline constexpr int kMaxPictureListEntries = 32767;

// The picture list file of the install folder `installDir` (which ends with a separator).
QString pictureListPath(const QString& installDir);

// True when the file format can hold `entry` unchanged: it holds no double quote, CR or LF
// (which would end the entry early) and survives the local 8-bit encoding.
bool canHoldPath(const QString& entry);

// The outcome of reading the picture list.
struct PictureListReadResult {
    QStringList entries;  // in file order; empty when the file is missing or unreadable
    QString error;        // empty on success; otherwise names the file and the reason
    bool ok() const { return error.isEmpty(); }
};

// Reads the list at `path`. A missing file is an empty list and no error; a file that exists
// but cannot be read gives no entries and an error. Never fails otherwise: any bytes read as
// some list.
//
// The reading rule, per entry:
//   1. the end of the file is tested first; reading stops there;
//   2. spaces and tabs before the entry are skipped;
//   3. an entry that starts with a double quote runs to the next double quote (or the end of
//      the file), which may lie on a later line; the quotes are dropped, and whatever stands
//      between the closing quote and the next comma or line end is skipped;
//   4. any other entry runs to the next comma or line end; its trailing spaces and tabs are
//      dropped;
//   5. the comma or line end (CR, LF or CR LF) that ends the entry is consumed, so that an
//      empty line gives an empty entry.
// At most kMaxPictureListEntries entries are taken.
PictureListReadResult readPictureList(const QString& path);

// Replaces the list at `path` with `entries`: every entry quoted and followed by CR LF; no
// entries make a 0-byte file. The file is replaced as a whole, so that a failure never
// leaves a partly written list. Returns nullopt on success, otherwise an error message naming
// the file and the reason. When an entry fails canHoldPath(), nothing is written.
std::optional<QString> writePictureList(const QString& path, const QStringList& entries);

}  // namespace lumi::settings
