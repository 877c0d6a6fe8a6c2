// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QImage>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <optional>

#include "display/PictureFileBound.h"

namespace lumi::display {

// A picture file decoded for the display: an opaque 32-bit image, or the reason why the
// file gave none.
struct DecodedPicture {
    QString path;
    QImage image;  // Format_RGB32; null when the file did not load
    QString error;
    // The day the photo was taken, from its EXIF DateTimeOriginal; empty when the file
    // carries none or it was not asked for.
    std::optional<QDate> taken = std::nullopt;
    // True when the file may give its picture later as it stands: it did not answer in time.
    // Every other failure lasts until the file changes.
    bool mayPass = false;

    bool ok() const { return !image.isNull(); }
};

// Whether a decode also reads the day the photo was taken.
enum class PhotoDates {
    Skip,
    Read,
};

// True when a picture of `size` pixels is above kMaxPicturePixels.
bool exceedsPixelLimit(QSize size);

// The error of a picture refused for its size: it names the size and the limit.
QString tooLargeError(QSize size);

// The error of a file skipped for its size (pictureFileSizeReadable()): it names the size and
// the bound.
QString fileTooLargeError(std::uintmax_t bytes);

}  // namespace lumi::display
