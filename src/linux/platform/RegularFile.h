// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace lumi::platform {

// The whole content of a user's file, read so that no file can hold the reader for good.
//
// Only a regular file is read: a named pipe, a device or a folder would block the open or
// the read, or never end, so it is refused before a byte is read (the open itself does not
// wait for a pipe's writer). A file that stops answering (a network mount whose server is
// gone) is given up once no byte has arrived for the reader's patience; the read that waits
// for it goes on in a thread of its own, and its result is dropped.
struct FileRead {
    enum class State {
        Read,        // `bytes` holds the whole file
        Missing,     // there is no file at the path (or it vanished before it was opened)
        NotRegular,  // a folder, a pipe, a device or a socket: refused, nothing was read
        TooLarge,    // larger than the reader's size test allows: refused, nothing was kept
        Unreadable,  // the system refused the open or the read
        NoAnswer,    // the file did not answer in time
    };
    State state = State::Missing;
    QByteArray bytes;
    QString error;            // for every state but Read and Missing: the reason, for a message
    std::uintmax_t size = 0;  // for TooLarge: the size that was refused, in bytes

    bool ok() const { return state == State::Read; }
};

// Whether a file of `bytes` may be read; a reader given one refuses a larger file as TooLarge.
// Called on the reader's own thread, so it must be safe on any thread. A null test reads a
// file of any size.
using FileSizeTest = bool (*)(std::uintmax_t bytes);

// Reads files one at a time for one owner (the settings store, the picture list, one
// decode). Safe to use from one thread at a time.
class RegularFileReader {
public:
    using Clock = std::chrono::steady_clock;
    // Reads the file at the given local 8-bit path in the calling thread; may block.
    // `progress` is called after each chunk read, from that thread.
    using BlockingRead = std::function<FileRead(const QByteArray& path, FileSizeTest sizeTest,
                                                const std::function<void()>& progress)>;

    static constexpr std::chrono::milliseconds kDefaultPatience{1000};

    explicit RegularFileReader(std::chrono::milliseconds patience = kDefaultPatience,
                               BlockingRead blockingRead = readRegularFileNow);

    // The content of the file at `path`. Returns within the patience once the file stops
    // answering. While an earlier read of this reader still waits for its file, a read
    // returns NoAnswer at once, so that one dead mount costs one patience, not one per read.
    // With a `sizeTest`, a file whose size fails it is refused as TooLarge.
    FileRead read(const QString& path, FileSizeTest sizeTest = nullptr);

    // The blocking read itself: refuse a regular file whose size by its status fails
    // `sizeTest` before it is opened; open without waiting, refuse what is not a regular file,
    // then read to the end, and give up as TooLarge once the bytes read fail `sizeTest` (a
    // file that grew after its status was taken).
    static FileRead readRegularFileNow(const QByteArray& path, FileSizeTest sizeTest,
                                       const std::function<void()>& progress);

private:
    struct Pending;

    std::chrono::milliseconds patience_;
    BlockingRead blockingRead_;
    std::shared_ptr<Pending> pending_;  // the read given up on last, until it ends
};

// Reads `path` with a reader of its own, the given patience and size test.
FileRead readRegularFile(const QString& path,
                         std::chrono::milliseconds patience = RegularFileReader::kDefaultPatience,
                         FileSizeTest sizeTest = nullptr);

// The local 8-bit path of a file name as this program holds it (see decodeFileName()).
QByteArray encodeFileName(const QString& name);

// A file name as the program holds it. File names are bytes: a byte sequence that is not
// UTF-8 (a Latin-1 "é") is held as one code point U+DC80 + byte per byte, so that
// encodeFileName() gives the very same bytes back and the file can be opened.
QString decodeFileName(const QByteArray& bytes);

}  // namespace lumi::platform
