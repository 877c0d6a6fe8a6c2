// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include "linux/display/DecodedPicture.h"

namespace lumi::display {

// Pictures in the HEIF container, HEIC photos of phones and AVIF, decoded with libheif
// whatever image plugins Qt has, so that these pictures look the same on every machine.
// Every function is safe on any thread.

// The file-name extensions, lower case and without the dot, of the HEIF pictures that this
// machine's libheif decodes: "heic" and "heif" when it has an HEVC decoder, "avif" when it has
// an AV1 decoder. Asked of libheif once per process.
const QStringList& heifExtensions();

// True when `start`, the first bytes of a file (12 are enough), opens a HEIF file of a kind
// that heifExtensions() covers: a "ftyp" box naming a HEIC, HEIF or AVIF brand.
bool looksLikeHeif(QByteArrayView start);

// Decodes the primary picture of the HEIF file `bytes` (the path is only for the result) as
// decodePictureWithin() does: with the rotation, mirroring and crop that the file stores
// applied once (EXIF orientation, which only repeats them, is not read), transparent parts
// over black, shrunk smoothly after the decode to fittedSize() within a non-empty `bound`.
// A picture whose stored or shown size is above kMaxPicturePixels is refused from its
// header, before anything is decoded. With PhotoDates::Read the result carries the day from
// the file's EXIF block.
DecodedPicture decodeHeif(const QString& path, const QByteArray& bytes, QSize bound,
                          PhotoDates dates);

}  // namespace lumi::display
