// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/DecodedPicture.h"

#include <cmath>

namespace lumi::display {

bool exceedsPixelLimit(QSize size) {
    return static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels;
}

QString tooLargeError(QSize size) {
    // Megapixels rounded up to a tenth, so that the figure is always above the limit.
    const double megapixels =
        std::ceil(static_cast<double>(size.width()) * size.height() / 100'000.0) / 10.0;
    return QStringLiteral("it is %1 x %2 pixels (%3 megapixels), more than %4 megapixels")
        .arg(size.width())
        .arg(size.height())
        .arg(megapixels)
        .arg(kMaxPicturePixels / 1'000'000);
}

QString fileTooLargeError(std::uintmax_t bytes) {
    return QStringLiteral(
               "the file is %1 bytes, more than the %2 bytes that a picture of %3 "
               "megapixels can take; it is not read")
        .arg(bytes)
        .arg(kMaxPictureFileBytes)
        .arg(kMaxPicturePixels / 1'000'000);
}

}  // namespace lumi::display
