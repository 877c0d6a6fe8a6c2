// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <mutex>

#include "linux/display/CorePixels.h"
#include "linux/display/HeifDecoder.h"
#include "linux/display/PhotoDate.h"
#include "linux/platform/RegularFile.h"

namespace lumi::display {
namespace {

// Qt's own limit on one decoded image, in MiB (its default, 128 MiB, would refuse anything
// above 33 megapixels): room for kMaxPicturePixels 32-bit pixels.
constexpr int kAllocationLimitMegabytes = static_cast<int>((kMaxPicturePixels * 4 + (1 << 20) - 1) >> 20);

// The limit is one value for the whole process; it is set once, before the first decode, from
// whichever thread decodes first.
void setAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(kAllocationLimitMegabytes); });
}

// Turns the decoded `image` into opaque 32-bit pixels, transparent parts over black, in its
// own memory where it can, so that a large picture is not held twice.
QImage opaque(QImage image) {
    if (!image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_RGB32);
        return image;
    }
    // A premultiplied pixel is its colour over black; only the alpha byte is left to set.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] |= 0xFF000000u;
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

}  // namespace

DecodedPicture decodePicture(const QString& path, PhotoDates dates) {
    return decodePictureWithin(path, {}, dates);
}

DecodedPicture decodePictureWithin(const QString& path, QSize bound, PhotoDates dates) {
    setAllocationLimit();
    // Read whole first, so that a pipe, a device or a file that does not answer is given up
    // like a file that does not load, and the decode never waits on the file. A file too large
    // for any picture that the display shows is skipped by its size, never opened.
    platform::FileRead file = platform::readRegularFile(
        path, platform::RegularFileReader::kDefaultPatience, pictureFileSizeReadable);
    switch (file.state) {
        case platform::FileRead::State::Read:
            break;
        case platform::FileRead::State::Missing:
            return {path, {}, QStringLiteral("no such file")};
        case platform::FileRead::State::TooLarge:
            return {path, {}, fileTooLargeError(file.size)};
        case platform::FileRead::State::NoAnswer: {
            DecodedPicture late{path, {}, file.error};
            late.mayPass = true;
            return late;
        }
        case platform::FileRead::State::NotRegular:
        case platform::FileRead::State::Unreadable:
            return {path, {}, file.error};
    }
    // Told by content, not by name, so that Qt's own HEIF plugins, where installed, never
    // decode these files and a photo renamed to ".jpg" still shows.
    if (looksLikeHeif(file.bytes)) {
        return decodeHeif(path, file.bytes, bound, dates);
    }
    QBuffer content(&file.bytes);
    content.open(QIODevice::ReadOnly);
    // The suffix is a hint for the formats that cannot be told from their first bytes.
    QImageReader reader(&content, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoTransform(true);
    // The size that the file declares, read from its header without decoding it; formats
    // that cannot tell it before the decode are held to Qt's allocation limit instead.
    const QSize declared = reader.size();
    if (exceedsPixelLimit(declared)) {
        return {path, {}, tooLargeError(declared)};
    }
    if (!bound.isEmpty() && declared.isValid()) {
        // The scaled size applies before the picture is turned upright.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize fitted = fittedSize(declared, turned ? bound.transposed() : bound);
        if (fitted != declared) {
            reader.setScaledSize(fitted);
        }
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {path, {}, reader.errorString()};
    }
    // A format that could not tell its size before the decode is shrunk now.
    const QSize fitted = fittedSize(image.size(), bound);
    if (fitted != image.size()) {
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    DecodedPicture result{path, opaque(std::move(image)), {}, std::nullopt};
    if (dates == PhotoDates::Read) {
        result.taken = readPhotoDate(path);
    }
    return result;
}

PictureLoader::PictureLoader(Decoder decode) : decode_(std::move(decode)) {
    connect(&watcher_, &QFutureWatcher<Stamped>::finished, this, &PictureLoader::deliver);
    connect(&prefetchWatcher_, &QFutureWatcher<Stamped>::finished, this,
            &PictureLoader::prefetchFinished);
}

PictureLoader::~PictureLoader() {
    // Decodes still running finish on the thread pool; their results are dropped.
    watcher_.disconnect(this);
    prefetchWatcher_.disconnect(this);
}


PictureLoader::FileStamp PictureLoader::stampOf(const QString& path) {
    const std::filesystem::path file(platform::encodeFileName(path).toStdString());
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

QFuture<PictureLoader::Stamped> PictureLoader::readyFuture(const Stamped& result) {
    QPromise<Stamped> ready;
    ready.start();
    ready.addResult(result);
    ready.finish();
    return ready.future();
}

void PictureLoader::load(const QString& path, Callback done) {
    QFuture<Stamped> future;
    const auto failed = failed_.constFind(path);
    if (held_ && held_->picture.path == path) {
        future = readyFuture(*held_);
    } else if (prefetched_ && prefetched_->path == path) {
        future = prefetched_->future;
    } else if (failed != failed_.cend()) {
        // Delivered as it was; deliver() decodes the file afresh if it has changed since.
        future = readyFuture(*failed);
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
    if (const auto failed = failed_.constFind(path);
        failed != failed_.cend() && failed->stamp == stampOf(path)) {
        prefetched_.reset();  // the load will deliver the kept failure
        return;
    }
    prefetched_ = startDecode(path);
    prefetchWatcher_.setFuture(prefetched_->future);
}

void PictureLoader::prefetchFinished() {
    // The watcher may report a prefetch that a newer one or a load() has replaced since.
    if (!prefetched_ || !prefetched_->future.isFinished()) {
        return;
    }
    const Stamped result = prefetched_->future.result();
    if (!result.picture.ok()) {
        // Kept now, so that a prefetch of the same file after a step the other way reads
        // nothing.
        if (result.stamp == stampOf(result.picture.path)) {
            keepFailure(result);
        }
        return;
    }
    held_.reset();  // the next picture is ready: the one on the screen is no longer needed
}

void PictureLoader::keepFailure(const Stamped& result) {
    if (!result.picture.mayPass) {
        failed_.insert(result.picture.path, result);
    }
}

void PictureLoader::cancel() {
    callback_ = nullptr;
}

void PictureLoader::deliver() {
    if (!callback_) {
        return;
    }
    // Taken out of the future, so that no finished future keeps a picture's pixels alive.
    QFuture<Stamped> future = watcher_.future();
    const Stamped result = future.takeResult();
    const QString& path = result.picture.path;
    if (result.stamp != stampOf(path)) {
        // The file changed after its decode began: what the display shows must be the file as
        // it is now. The callback stays for the new decode.
        watcher_.setFuture(startDecode(path).future);
        return;
    }
    if (result.picture.ok()) {
        held_ = result;
        failed_.remove(path);
    } else {
        // The picture in hand stays for the next load of its path, unless it is this file,
        // which has changed and no longer loads.
        if (held_ && held_->picture.path == path) {
            held_.reset();
        }
        failed_.remove(path);
        keepFailure(result);
    }
    const Callback done = std::exchange(callback_, nullptr);
    done(result.picture);
}

}  // namespace lumi::display
