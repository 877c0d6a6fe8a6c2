// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFutureWatcher>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "linux/display/DecodedPicture.h"

namespace lumi::display {

// Decodes the picture file at `path`, turned upright by its orientation, with transparent
// parts over black. Safe on any thread. A HEIF file (HEIC, AVIF), told by its first bytes, is
// decoded by decodeHeif(); every other file with the platform's image formats, turned by its
// EXIF orientation tag.
//
// A file that declares more than kMaxPicturePixels is not decoded: the result carries no
// image and an error that names the picture's size, as for any file that does not load. So
// is a path that is not a regular file (a folder, a pipe, a device), which is never opened
// for reading, and a file that does not answer within a second (platform::RegularFileReader):
// no file holds the calling thread for longer. With PhotoDates::Read the result also carries
// the day the photo was taken (PhotoDate.h).
DecodedPicture decodePicture(const QString& path, PhotoDates dates = PhotoDates::Skip);

// As decodePicture(), but a picture larger than `bound` in either direction (once turned
// upright) comes out shrunk to fittedSize() of its size, smoothly; a format that can decode
// at a reduced size (JPEG) does so, so that a large photo costs about the time and memory of
// a picture of `bound`; a HEIF picture is decoded whole and then shrunk. An empty `bound` is
// decodePicture() itself.
DecodedPicture decodePictureWithin(const QString& path, QSize bound,
                                   PhotoDates dates = PhotoDates::Skip);

// Decodes pictures off the user-interface thread, so that no event waits on a decode.
// One decode is delivered at a time; the next picture can be decoded ahead.
//
// Each picture is decoded once while its file stays as it is: the picture delivered last is
// kept (it shares its pixels with the display's copy), and a load or prefetch of the same
// path uses it again. It is dropped once a prefetch of another path has decoded its picture,
// so that between two paintings the loader holds one decoded picture, not two. Every
// delivery first compares the file's size and modification time with those it had when its
// decode began, and decodes it again if they differ, so the display always shows the file as
// it is now.
//
// Likewise each file that gives no picture is read once while it stays as it is: its failure
// is kept with the file's size and modification time for the life of the loader, a load of
// its path delivers that failure again without reading the file, and a prefetch of it decodes
// nothing. So a broken file, or a video under a picture's name, costs one read in a run of
// the display, not one on every pass through the list. A file that has changed since is tried
// afresh; a failure that may pass as the file stands (DecodedPicture::mayPass) is not kept.
class PictureLoader final : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const DecodedPicture&)>;
    // Decodes one file; called on a thread of the pool, so it must be safe on any thread.
    using Decoder = std::function<DecodedPicture(const QString&)>;

    explicit PictureLoader(Decoder decode = [](const QString& path) { return decodePicture(path); });
    ~PictureLoader() override;

    // Replaces the decoder; meant for the display's load, before the first load() or
    // prefetch(), whose pictures are decoded by the decoder they started with.
    void setDecoder(Decoder decode) { decode_ = std::move(decode); }

    // Decodes `path` and hands the result to `done` on this object's thread, always from the
    // event loop, never from within this call. The picture delivered last, a decode asked for
    // ahead with prefetch(), or the kept failure of the path is used when it names the same
    // path and the file has not changed since. A later load() or cancel() replaces a load
    // whose result has not been delivered: its callback never runs.
    void load(const QString& path, Callback done);

    // Starts decoding `path` in the background for a later load(); replaces an earlier one.
    // Nothing is decoded for the path of the picture delivered last, nor for a file whose
    // failure is kept and that has not changed since; any other path drops the picture
    // delivered last once its own decode has succeeded.
    void prefetch(const QString& path);

    // Drops the load in progress, if any; its callback never runs.
    void cancel();

    bool loading() const { return static_cast<bool>(callback_); }

    // The decodes started since construction.
    int decodeCount() const { return decodeCount_; }

private:
    // What identifies the content of a file without reading it.
    struct FileStamp {
        bool exists = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;

        bool operator==(const FileStamp&) const = default;
    };
    struct Stamped {
        DecodedPicture picture;
        FileStamp stamp;  // taken before the decode began
    };
    struct Decode {
        QString path;
        QFuture<Stamped> future;
    };

    static FileStamp stampOf(const QString& path);
    // A finished future of its own holding `result`: the watcher ignores the future it
    // already watches.
    static QFuture<Stamped> readyFuture(const Stamped& result);
    Decode startDecode(const QString& path);
    void deliver();
    void prefetchFinished();
    // Keeps a failed decode whose file has not changed since, unless it may pass.
    void keepFailure(const Stamped& result);

    Decoder decode_;
    int decodeCount_ = 0;
    std::optional<Stamped> held_;  // the picture delivered last, if it loaded
    QHash<QString, Stamped> failed_;  // by path: the files that gave no picture
    std::optional<Decode> prefetched_;
    QFutureWatcher<Stamped> watcher_;
    QFutureWatcher<Stamped> prefetchWatcher_;
    Callback callback_;
};

}  // namespace lumi::display
