// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/settings/PictureListFile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

#include "settings/PictureFolders.h"
#include "windows/platform/SystemMessage.h"
#include "windows/platform/Utf16.h"
#include "windows/settings/WindowsFolderReader.h"

namespace lumi::settings {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// How long a read waits for an edit to end, and an edit for another edit or the reads.
constexpr milliseconds kReadLockPatience{500};
constexpr milliseconds kEditLockPatience{2000};
// How often a waiter tries the lock again.
constexpr DWORD kLockRetryMs = 10;

// Anything this large is no picture list and is not read.
constexpr LONGLONG kMaxListBytes = 64LL * 1024 * 1024;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

FileHandle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flags) {
    HANDLE raw = CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    return FileHandle(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
}

std::string lastError() {
    return platform::systemMessage(GetLastError());
}

std::string readError(const std::string& path, const std::string& reason) {
    return "Cannot read the picture list \"" + path + "\": " + reason;
}

std::string writeError(const std::string& path, const std::string& reason) {
    return "Cannot write the picture list \"" + path + "\": " + reason;
}

// A lock on the list's lock file, held until destroyed. Windows ties a byte-range lock to
// the handle that took it, so two locks of one process on the same list conflict like those
// of two processes.
class ListLock {
public:
    enum class Mode { Shared, Exclusive };

    // Takes the lock of the list at `listPath`, trying again until `patience` has passed.
    // locked() tells whether it was had, problem() why not: the lock file cannot be opened
    // or another holder kept the lock.
    ListLock(const std::string& listPath, Mode mode, milliseconds patience)
        : path_(listPath + ".lock") {
        const std::wstring wide = platform::toUtf16(path_);
        file_ = openFile(wide, GENERIC_READ | GENERIC_WRITE, kShareAll, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL);
        if (!file_) {
            // A lock file that another user made in a shared folder can still be locked
            // through a handle that only reads.
            file_ = openFile(wide, GENERIC_READ, kShareAll, OPEN_EXISTING, 0);
        }
        if (!file_) {
            problem_ = "cannot open its lock file \"" + path_ + "\": " + lastError();
            return;
        }
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        // LockFileEx either fails at once or waits without bound, so the bounded wait is a
        // series of tries.
        const auto deadline = steady_clock::now() + patience;
        for (;;) {
            OVERLAPPED where = {};
            if (LockFileEx(file_.get(), flags, 0, 1, 0, &where)) {
                locked_ = true;
                return;
            }
            const DWORD error = GetLastError();
            const bool held = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING;
            if (!held) {
                problem_ = "cannot lock \"" + path_ + "\": " + platform::systemMessage(error);
                return;
            }
            if (steady_clock::now() >= deadline) {
                problem_ = "another program holds its lock \"" + path_ + "\"";
                return;
            }
            Sleep(kLockRetryMs);
        }
    }

    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;
    ~ListLock() {
        if (locked_) {
            OVERLAPPED where = {};
            UnlockFileEx(file_.get(), 0, 1, 0, &where);
        }
    }

    bool locked() const { return locked_; }
    const std::string& problem() const { return problem_; }

private:
    std::string path_;
    FileHandle file_;
    bool locked_ = false;
    std::string problem_;
};

// The list at `path` read without its lock, in the calling thread, which it may block.
// `progress` is called after each chunk read.
PictureListReadResult readNow(const std::string& path, const std::function<void()>& progress) {
    PictureListReadResult result;
    const std::wstring wide = platform::toUtf16(path);
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            result.error = readError(path, platform::systemMessage(error));
        }
        return result;
    }
    if ((attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.error = readError(path, "it is a folder, not a regular file");
        return result;
    }
    // What the file is, asked through a handle that may not read: a pipe or a device is
    // refused before anything is read from it.
    {
        const FileHandle probe = openFile(wide, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, 0);
        if (!probe) {
            result.error = readError(path, lastError());
            return result;
        }
        const DWORD type = GetFileType(probe.get());
        if (type != FILE_TYPE_DISK) {
            result.error =
                readError(path, type == FILE_TYPE_PIPE ? "it is a named pipe, not a regular file"
                                                       : "it is a device, not a regular file");
            return result;
        }
    }
    const FileHandle file =
        openFile(wide, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        result.error = readError(path, lastError());
        return result;
    }
    if (size.QuadPart > kMaxListBytes) {
        result.error =
            readError(path, "it is " + std::to_string(size.QuadPart) + " bytes, too large to read");
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    std::array<char, 1 << 16> chunk;
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &count,
                      nullptr)) {
            result.error = readError(path, lastError());
            return result;
        }
        if (count == 0) {
            break;
        }
        bytes.append(chunk.data(), count);
        progress();
        if (static_cast<LONGLONG>(bytes.size()) > kMaxListBytes) {
            result.error = readError(path, "it grows beyond " + std::to_string(kMaxListBytes) +
                                               " bytes while it is read");
            return result;
        }
    }
    result.entries = parsePictureList(bytes);
    return result;
}

// How long a read waits for a file that has stopped answering (a network share whose server
// is gone) before it gives up: long enough that a busy machine, on which starting the reading
// thread and opening a local file can take a second, never gives up on a file that answers.
constexpr milliseconds kReadPatience{5000};

// The state of one read, shared between the caller and the thread that does it; the thread
// may outlive the caller's wait.
struct PendingRead {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    unsigned long progress = 0;  // chunks read so far
    PictureListReadResult result;
};

// The list at `path` read without its lock: readNow() on a thread of its own, given up once
// no chunk has arrived for kReadPatience. The thread of a read given up ends when the system
// answers, and its result is dropped.
PictureListReadResult readUnlocked(const std::string& path) {
    auto pending = std::make_shared<PendingRead>();
    try {
        std::thread([pending, path] {
            PictureListReadResult result;
            try {
                result = readNow(path, [&pending] {
                    const std::lock_guard lock(pending->mutex);
                    ++pending->progress;
                    pending->changed.notify_all();
                });
            } catch (const std::exception& error) {
                result.error = readError(path, error.what());
            }
            const std::lock_guard lock(pending->mutex);
            pending->result = std::move(result);
            pending->done = true;
            pending->changed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return readNow(path, [] {});  // no thread to be had: read here
    }
    std::unique_lock lock(pending->mutex);
    for (;;) {
        const unsigned long seen = pending->progress;
        const bool answered = pending->changed.wait_for(
            lock, kReadPatience, [&] { return pending->done || pending->progress != seen; });
        if (pending->done) {
            return std::move(pending->result);
        }
        if (!answered) {
            return {{},
                    readError(path, "it did not answer within " +
                                        std::to_string(kReadPatience.count()) + " ms")};
        }
    }
}

// Writes `bytes` to the new file `temporary` and flushes them to the disk; the reason on
// failure.
std::optional<std::string> writeTemporary(const std::wstring& temporary, const std::string& bytes) {
    // No sharing: a second writer without the lock fails here instead of mixing its bytes in.
    const FileHandle file =
        openFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (!file) {
        return lastError();
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1 << 20));
        DWORD count = 0;
        if (!WriteFile(file.get(), bytes.data() + written, piece, &count, nullptr) || count == 0) {
            return lastError();
        }
        written += count;
    }
    if (!FlushFileBuffers(file.get())) {
        return lastError();
    }
    return std::nullopt;
}

}  // namespace

std::string pictureListPath(const std::string& installDir) {
    return installDir + "List.txt";
}

PictureListReadResult readPictureList(const std::string& path) {
    const ListLock lock(path, ListLock::Mode::Shared, kReadLockPatience);
    return readUnlocked(path);
}

std::optional<std::string> writePictureList(const std::string& path,
                                            const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (!fitsPictureList(entry)) {
            return writeError(path, "the list file cannot hold the name \"" + entry + "\".");
        }
    }
    const std::string bytes = formatPictureList(entries);
    const std::wstring target = platform::toUtf16(path);
    const std::wstring temporary = platform::toUtf16(path + ".new");
    if (const std::optional<std::string> problem = writeTemporary(temporary, bytes)) {
        DeleteFileW(temporary.c_str());
        return writeError(path, *problem);
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::string problem = lastError();
        DeleteFileW(temporary.c_str());
        return writeError(path, problem);
    }
    return std::nullopt;
}

PictureListEditResult editPictureList(const std::string& path, const PictureListEdit& edit) {
    const ListLock lock(path, ListLock::Mode::Exclusive, kEditLockPatience);
    if (!lock.locked()) {
        return {readUnlocked(path).entries, writeError(path, lock.problem())};
    }
    PictureListReadResult now = readUnlocked(path);
    if (!now.ok()) {
        return {std::move(now.entries), std::move(now.error)};
    }
    std::vector<std::string> edited = edit(now.entries);
    if (std::optional<std::string> error = writePictureList(path, edited)) {
        return {std::move(now.entries), std::move(*error)};
    }
    return {std::move(edited), {}};
}

std::span<const std::string> windowsPictureExtensions() {
    static const std::array<std::string, 17> extensions{
        "jpg",  "jpeg", "jpe",  "jfif", "png",  "gif",  "bmp", "dib", "tif",
        "tiff", "ico",  "heic", "heif", "avif", "webp", "jxr", "wdp"};
    return extensions;
}

display::PictureListRead readDisplayPictureList(const std::string& path) {
    PictureListReadResult read = readPictureList(path);
    return {expandPictureList(read.entries, WindowsFolderReader(), windowsPictureExtensions()),
            std::move(read.error)};
}

}  // namespace lumi::settings
