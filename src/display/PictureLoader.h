#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace lumi::display {

// A picture file decoded for the display: an opaque 32-bit image, or the reason why the
// file gave none.
struct DecodedPicture {
    QString path;
    QImage image;  // Format_RGB32; null when the file did not load
    QString error;

    bool ok() const { return !image.isNull(); }
};

// Decodes the picture file at `path` with the platform's image formats, turned upright by
// its orientation tag, with transparent parts over black. Safe on any thread.
DecodedPicture decodePicture(const QString& path);

// Decodes pictures off the user-interface thread, so that no event waits on a decode.
// One decode is delivered at a time; the next picture can be decoded ahead.
class PictureLoader final : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const DecodedPicture&)>;

    PictureLoader();
    ~PictureLoader() override;

    // Decodes `path` and hands the result to `done` on this object's thread, always from the
    // event loop, never from within this call. A decode asked for ahead with prefetch() is
    // used when it names the same path. A later load() or cancel() replaces a load whose
    // result has not been delivered: its callback never runs.
    void load(const QString& path, Callback done);

    // Starts decoding `path` in the background for a later load(); replaces an earlier one.
    void prefetch(const QString& path);

    // Drops the load in progress, if any; its callback never runs.
    void cancel();

    bool loading() const { return static_cast<bool>(callback_); }

private:
    struct Decode {
        QString path;
        QFuture<DecodedPicture> future;
    };

    void deliver();

    std::optional<Decode> prefetched_;
    QFutureWatcher<DecodedPicture> watcher_;
    Callback callback_;
};

}  // namespace lumi::display
