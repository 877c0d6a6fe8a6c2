// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringDecoder>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace lumi::platform {
namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("a folder");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("a named pipe");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("a device");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("a socket");
    }
    return QStringLiteral("not a file");
}

FileRead tooLarge(std::uintmax_t bytes) {
    FileRead result{FileRead::State::TooLarge,
                    {},
                    QStringLiteral("it is %1 bytes, too large to read").arg(bytes)};
    result.size = bytes;
    return result;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

// The state of one read, shared between the reader and the thread that does it; the thread
// may outlive the reader.
struct RegularFileReader::Pending {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    unsigned long progress = 0;  // chunks read so far
    FileRead result;
};

FileRead RegularFileReader::readRegularFileNow(const QByteArray& path, FileSizeTest sizeTest,
                                               const std::function<void()>& progress) {
    // A file too large to read is known by its status and never opened. What is no regular
    // file, or has no status, is left to the open and its own status below.
    if (sizeTest) {
        struct stat status = {};
        if (::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
            !sizeTest(static_cast<std::uintmax_t>(status.st_size))) {
            return tooLarge(static_cast<std::uintmax_t>(status.st_size));
        }
    }
    // O_NONBLOCK: opening a pipe without a writer returns at once instead of waiting.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        return {FileRead::State::Unreadable, {}, systemReason(error)};
    }
    const Descriptor file(fd);
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        return {FileRead::State::Unreadable, {}, systemReason(errno)};
    }
    if (!S_ISREG(status.st_mode)) {
        return {FileRead::State::NotRegular,
                {},
                QStringLiteral("it is %1, not a regular file").arg(kindOf(status.st_mode))};
    }
    if (sizeTest && !sizeTest(static_cast<std::uintmax_t>(status.st_size))) {
        return tooLarge(static_cast<std::uintmax_t>(status.st_size));  // it grew since the stat
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FileRead result{FileRead::State::Read, {}, {}};
    if (status.st_size > 0) {
        result.bytes.reserve(static_cast<qsizetype>(status.st_size));
    }
    char chunk[1 << 16];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {FileRead::State::Unreadable, {}, systemReason(errno)};
        }
        if (count == 0) {
            return result;
        }
        const auto total = static_cast<std::uintmax_t>(result.bytes.size() + count);
        if (sizeTest && !sizeTest(total)) {
            return tooLarge(total);  // it grows while it is read
        }
        result.bytes.append(chunk, count);
        progress();
    }
}

RegularFileReader::RegularFileReader(std::chrono::milliseconds patience, BlockingRead blockingRead)
    : patience_(patience), blockingRead_(std::move(blockingRead)) {}

FileRead RegularFileReader::read(const QString& path, FileSizeTest sizeTest) {
    const QString noAnswer =
        QStringLiteral("it did not answer within %1 ms").arg(patience_.count());
    if (pending_) {
        const std::lock_guard lock(pending_->mutex);
        if (!pending_->done) {
            return {FileRead::State::NoAnswer, {}, noAnswer};
        }
    }
    pending_.reset();
    auto pending = std::make_shared<Pending>();
    std::thread([pending, read = blockingRead_, name = encodeFileName(path), sizeTest] {
        FileRead result = read(name, sizeTest, [&pending] {
            const std::lock_guard lock(pending->mutex);
            ++pending->progress;
            pending->changed.notify_all();
        });
        const std::lock_guard lock(pending->mutex);
        pending->result = std::move(result);
        pending->done = true;
        pending->changed.notify_all();
    }).detach();

    std::unique_lock lock(pending->mutex);
    for (;;) {
        const unsigned long seen = pending->progress;
        const bool answered = pending->changed.wait_for(
            lock, patience_, [&] { return pending->done || pending->progress != seen; });
        if (pending->done) {
            return std::move(pending->result);
        }
        if (!answered) {
            lock.unlock();
            pending_ = std::move(pending);
            return {FileRead::State::NoAnswer, {}, noAnswer};
        }
    }
}

FileRead readRegularFile(const QString& path, std::chrono::milliseconds patience,
                         FileSizeTest sizeTest) {
    return RegularFileReader(patience).read(path, sizeTest);
}

QByteArray encodeFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool escaped =
            i < name.size() && name[i].unicode() >= 0xDC80 && name[i].unicode() <= 0xDCFF;
        if (i < name.size() && !escaped) {
            continue;
        }
        bytes += QStringView(name).sliced(start, i - start).toUtf8();
        if (escaped) {
            bytes += static_cast<char>(name[i].unicode() - 0xDC00);
        }
        start = i + 1;
    }
    return bytes;
}

QString decodeFileName(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The longest run that decodes cleanly goes in as text; the byte that stops it is
        // escaped.
        qsizetype end = i;
        while (end < bytes.size()) {
            const auto lead = static_cast<unsigned char>(bytes[end]);
            const int length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
            if (length == 0 || end + length > bytes.size()) {
                break;
            }
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString one = decoder.decode(QByteArrayView(bytes).sliced(end, length));
            if (decoder.hasError() || one.isEmpty() ||
                (one.size() == 1 && one[0].unicode() >= 0xDC80 && one[0].unicode() <= 0xDCFF)) {
                break;
            }
            end += length;
        }
        name += QString::fromUtf8(QByteArrayView(bytes).sliced(i, end - i));
        if (end < bytes.size()) {
            name += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[end])));
            ++end;
        }
        i = end;
    }
    return name;
}

}  // namespace lumi::platform
