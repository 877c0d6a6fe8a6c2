#include "display/PictureLoader.h"

#include <QImageReader>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

namespace lumi::display {
namespace {

// Enough for a 50-megapixel photo as 32-bit pixels, with room for the decoder's own copy.
constexpr int kAllocationLimitMegabytes = 1024;

QImage opaque(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QImage flattened(image.size(), QImage::Format_RGB32);
    flattened.fill(Qt::black);
    QPainter painter(&flattened);
    painter.drawImage(0, 0, image);
    return flattened;
}

}  // namespace

DecodedPicture decodePicture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        return {path, {}, reader.errorString()};
    }
    return {path, opaque(image), {}};
}

PictureLoader::PictureLoader() {
    QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
    connect(&watcher_, &QFutureWatcher<DecodedPicture>::finished, this, &PictureLoader::deliver);
}

PictureLoader::~PictureLoader() {
    // Decodes still running finish on the thread pool; their results are dropped.
    watcher_.disconnect(this);
}

void PictureLoader::load(const QString& path, Callback done) {
    QFuture<DecodedPicture> future;
    if (prefetched_ && prefetched_->path == path) {
        future = prefetched_->future;
    } else {
        future = QtConcurrent::run(decodePicture, path);
    }
    prefetched_.reset();
    callback_ = std::move(done);
    watcher_.setFuture(future);
}

void PictureLoader::prefetch(const QString& path) {
    if (prefetched_ && prefetched_->path == path) {
        return;
    }
    prefetched_ = Decode{path, QtConcurrent::run(decodePicture, path)};
}

void PictureLoader::cancel() {
    callback_ = nullptr;
}

void PictureLoader::deliver() {
    if (!callback_) {
        return;
    }
    const Callback done = std::exchange(callback_, nullptr);
    done(watcher_.future().result());
}

}  // namespace lumi::display
