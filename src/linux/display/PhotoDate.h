// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

namespace lumi::display {

// The day a photo was taken, from the EXIF DateTimeOriginal that its camera wrote. The
// picture loader asks for it on its own thread, next to the decode; nothing here may run on
// the event loop, since it reads files.

// The day of an EXIF date and time, "YYYY:MM:DD HH:MM:SS" (only the date part is read; a
// closing NUL or a missing time is accepted). Empty for anything else, and for the
// "0000:00:00" and the blanks that cameras write when they do not know the date.
std::optional<QDate> parseExifDate(QByteArrayView text);

// The DateTimeOriginal of the EXIF block `exif`, which starts with the TIFF byte-order mark
// ("II" or "MM"), as HEIF files and PNG's eXIf chunk hold it, or with "Exif\0\0" before it,
// as JPEG's APP1 segment holds it. Empty when the block carries none or is damaged.
std::optional<QDate> photoDateOfExif(QByteArrayView exif);

// The DateTimeOriginal of the picture file at `path`, told apart by its first bytes: a JPEG
// (only its header segments are read), a TIFF (its first 16 MiB, where cameras put their
// tags), or a PNG with an eXIf chunk (read chunk header by chunk header, not its pixels).
// Empty for any other file, and for one without the tag. HEIF files are read by the HEIF
// decoder, which has their EXIF block at hand.
std::optional<QDate> readPhotoDate(const QString& path);

}  // namespace lumi::display
