// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/QtPictureSource.h"

#include <memory>

#include "linux/display/CorePixels.h"
#include "linux/platform/RegularFile.h"

namespace lumi::display {
namespace {

QString fileName(const std::string& path) {
    return platform::decodeFileName(QByteArray::fromStdString(path));
}

}  // namespace

LoadedPicture toLoadedPicture(const DecodedPicture& picture) {
    LoadedPicture loaded;
    loaded.path = platform::encodeFileName(picture.path).toStdString();
    loaded.error = picture.error.toStdString();
    loaded.mayPass = picture.mayPass;
    if (picture.taken) {
        loaded.taken = CalendarDate{picture.taken->year(), picture.taken->month(),
                                    picture.taken->day()};
    }
    if (picture.ok()) {
        // Decoders give Format_RGB32; a copy of the image shares its pixels.
        auto image = std::make_shared<const QImage>(
            picture.image.format() == QImage::Format_RGB32
                ? picture.image
                : picture.image.convertToFormat(QImage::Format_RGB32));
        loaded.pixels = constPixelsOf(*image);
        loaded.keeper = std::move(image);
    }
    return loaded;
}

void QtPictureSource::setRequest(const platform::PictureRequest& request) {
    if (request.shrinkBound.isEmpty() && !request.photoDates) {
        return;
    }
    const PhotoDates dates = request.photoDates ? PhotoDates::Read : PhotoDates::Skip;
    loader_.setDecoder([bound = toQSize(request.shrinkBound), dates](const QString& path) {
        return decodePictureWithin(path, bound.isEmpty() ? QSize() : bound, dates);
    });
}

void QtPictureSource::load(const std::string& path, Callback done) {
    loader_.load(fileName(path), [done = std::move(done)](const DecodedPicture& picture) {
        done(toLoadedPicture(picture));
    });
}

void QtPictureSource::prefetch(const std::string& path) {
    loader_.prefetch(fileName(path));
}

LoadedPicture QtPictureSource::decodeNow(const std::string& path) {
    return toLoadedPicture(decodePicture(fileName(path)));
}

}  // namespace lumi::display
