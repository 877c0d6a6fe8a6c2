#include "display/PictureLoader.h"

#include <QFile>
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

PictureLoader::PictureLoader(Decoder decode) : decode_(std::move(decode)) {
    QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
    connect(&watcher_, &QFutureWatcher<Stamped>::finished, this, &PictureLoader::deliver);
}

PictureLoader::~PictureLoader() {
    // Decodes still running finish on the thread pool; their results are dropped.
    watcher_.disconnect(this);
}

PictureLoader::FileStamp PictureLoader::stampOf(const QString& path) {
    const std::filesystem::path file(QFile::encodeName(path).toStdString());
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error) {
        return {};
    }
    stamp.modified = std::filesystem::last_write_time(file, error);
    if (error) {
        return {};
    }
    stamp.exists = true;
    return stamp;
}

PictureLoader::Decode PictureLoader::startDecode(const QString& path) {
    ++decodeCount_;
    // The decoder is copied into the task, which may outlive this loader.
    return {path, QtConcurrent::run([decode = decode_, path] {
                // Stamped first: a file replaced during the decode then reads as changed.
                const FileStamp stamp = stampOf(path);
                DecodedPicture picture = decode(path);
                picture.path = path;
                return Stamped{std::move(picture), stamp};
            })};
}

void PictureLoader::load(const QString& path, Callback done) {
    QFuture<Stamped> future;
    if (held_ && held_->picture.path == path) {
        // A future of its own: the watcher ignores the future it already watches.
        future = QtFuture::makeReadyFuture(*held_);
    } else if (prefetched_ && prefetched_->path == path) {
        future = prefetched_->future;
    } else {
        future = startDecode(path).future;
    }
    prefetched_.reset();
    callback_ = std::move(done);
    watcher_.setFuture(future);
}

void PictureLoader::prefetch(const QString& path) {
    if (held_ && held_->picture.path == path) {
        prefetched_.reset();
        return;
    }
    if (prefetched_ && prefetched_->path == path) {
        return;
    }
    prefetched_ = startDecode(path);
}

void PictureLoader::cancel() {
    callback_ = nullptr;
}

void PictureLoader::deliver() {
    if (!callback_) {
        return;
    }
    const QFuture<Stamped> future = watcher_.future();
    const Stamped& result = future.result();
    const QString& path = result.picture.path;
    if (result.stamp != stampOf(path)) {
        // The file changed after its decode began: what the display shows must be the file as
        // it is now. The callback stays for the new decode.
        watcher_.setFuture(startDecode(path).future);
        return;
    }
    if (result.picture.ok()) {
        held_ = result;
    } else {
        held_.reset();  // a file that did not load is tried afresh each time
    }
    const Callback done = std::exchange(callback_, nullptr);
    done(result.picture);
}

}  // namespace lumi::display
