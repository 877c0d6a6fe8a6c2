// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/CryptPasswordService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <crypt.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "platform/PasswordDialog.h"

namespace lumi::platform {

namespace {

// A password file is one hash line; anything much longer than a hash is not ours.
constexpr qsizetype kMaxFileSize = 1024;

QString translate(const char* text) {
    return QCoreApplication::translate("lumi::platform::CryptPasswordService", text);
}

// The scratch area of libxcrypt. It is several kilobytes, so it lives on the heap, starts
// zeroed as the library requires, and is wiped before it is freed because the hashing
// passes the password through it.
struct CryptDataDeleter {
    void operator()(crypt_data* data) const {
        explicit_bzero(data, sizeof *data);
        delete data;
    }
};
using CryptDataPtr = std::unique_ptr<crypt_data, CryptDataDeleter>;

// An open file descriptor that is closed when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }

    // Closes now and reports whether the kernel accepted the close; a failed close can
    // mean that written data did not reach the file.
    bool close() {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_ = -1;
};

// A temporary file that is removed again unless keep() is called (after it was renamed
// into place).
class TemporaryFile {
public:
    TemporaryFile(int fd, QByteArray path) : fd_(fd), path_(std::move(path)) {}
    ~TemporaryFile() {
        fd_.close();
        if (!kept_) {
            ::unlink(path_.constData());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    FileDescriptor& fd() { return fd_; }
    const char* path() const { return path_.constData(); }
    void keep() { kept_ = true; }

private:
    FileDescriptor fd_;
    QByteArray path_;
    bool kept_ = false;
};

// A hash as libxcrypt writes it: one line of printable characters starting with '$'.
// This also keeps hashes that would corrupt the one-line file format out of storeHash().
bool isWellFormedHash(const QByteArray& hash) {
    if (hash.isEmpty() || hash.size() >= CRYPT_OUTPUT_SIZE || !hash.startsWith('$')) {
        return false;
    }
    for (const char c : hash) {
        if (c <= ' ' || c == '\x7f') {
            return false;
        }
    }
    return true;
}

// Runs the hash selected by `setting` over `plain`; empty if the library refuses.
std::optional<QByteArray> cryptWith(const QByteArray& plain, const char* setting) {
    CryptDataPtr data(new crypt_data{});
    const char* result =
        crypt_rn(plain.constData(), setting, data.get(), static_cast<int>(sizeof(crypt_data)));
    if (result == nullptr || result[0] == '*') {
        return std::nullopt;
    }
    return QByteArray(result);
}

// Compares without stopping at the first difference, so that the time taken does not
// tell how much of a guessed hash was right.
bool equalInConstantTime(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) {
        return false;
    }
    volatile unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        difference = difference | static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// Makes a rename inside `folder` durable. Best effort: the rename has already happened,
// and a folder that cannot be synced does not make the stored hash wrong.
void syncFolder(const QString& folder) {
    FileDescriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

StoredPassword unusable(const QString& problem) {
    StoredPassword result;
    result.status = StoredPassword::Status::Unusable;
    result.problem = problem;
    return result;
}

StoredPassword unreadable(const QString& path, int error) {
    return unusable(translate("The password file %1 cannot be read (%2). "
                              "The password was left unchanged.")
                        .arg(QDir::toNativeSeparators(path), qt_error_string(error)));
}

StoredPassword damaged(const QString& path) {
    return unusable(translate("The password file %1 is damaged. The password was left "
                              "unchanged; delete the file to set a new one.")
                        .arg(QDir::toNativeSeparators(path)));
}

// Stores `plain` as the new password of the file at `path`, or removes the password when
// `plain` is empty. Returns the message for the dialog; empty on success.
QString saveNewPassword(const QString& path, const QByteArray& plain) {
    const QString where = QDir::toNativeSeparators(path);
    if (plain.isEmpty()) {
        return removeHash(path)
                   ? QString()
                   : translate("The password could not be removed from %1.").arg(where);
    }
    const std::optional<QByteArray> hash = hashPassword(plain);
    if (!hash) {
        return translate("This password cannot be used. Please choose another one.");
    }
    return storeHash(path, *hash) ? QString()
                                  : translate("The password could not be saved to %1.").arg(where);
}

}  // namespace

QString defaultPasswordFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Lumiscribe.password");
}

std::optional<QByteArray> hashPassword(const QByteArray& plain) {
    if (plain.contains('\0')) {
        return std::nullopt;
    }
    char setting[CRYPT_GENSALT_OUTPUT_SIZE] = {};
    if (crypt_gensalt_rn("$y$", 0, nullptr, 0, setting, static_cast<int>(sizeof setting)) ==
        nullptr) {
        return std::nullopt;
    }
    return cryptWith(plain, setting);
}

bool verifyPassword(const QByteArray& plain, const QByteArray& hash) {
    if (plain.contains('\0') || !isWellFormedHash(hash)) {
        return false;
    }
    const std::optional<QByteArray> computed = cryptWith(plain, hash.constData());
    return computed && equalInConstantTime(*computed, hash);
}

StoredPassword loadHash(const QString& path) {
    // O_NONBLOCK keeps a FIFO planted at the path from hanging the dialog; it does not
    // change reads from a regular file.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        return error == ENOENT ? StoredPassword{} : unreadable(path, error);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return unreadable(path, errno);
    }
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxFileSize) {
        return damaged(path);
    }
    QByteArray content(kMaxFileSize + 1, '\0');
    qsizetype filled = 0;
    while (filled < content.size()) {
        const ssize_t got =
            ::read(fd.get(), content.data() + filled, static_cast<size_t>(content.size() - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return unreadable(path, errno);
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    content.truncate(filled);
    if (content.endsWith('\n')) {
        content.chop(1);
    }
    if (!isWellFormedHash(content)) {
        return damaged(path);
    }
    StoredPassword result;
    result.status = StoredPassword::Status::Hash;
    result.hash = content;
    return result;
}

bool storeHash(const QString& path, const QByteArray& hash) {
    if (!isWellFormedHash(hash)) {
        return false;
    }
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder)) {
        qWarning("Cannot create the folder of the password file %s", qPrintable(folder));
        return false;
    }
    // mkostemp() creates the file with O_EXCL and mode 0600 (less any umask bits), so no
    // other user can open it between its creation and the rename.
    QByteArray temporaryPath =
        QFile::encodeName(folder + QStringLiteral("/.") + target.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temporaryPath.data(), O_CLOEXEC);
    if (fd < 0) {
        qWarning("Cannot create a temporary file next to %s: %s", qPrintable(path),
                 strerror(errno));
        return false;
    }
    TemporaryFile temporary(fd, temporaryPath);
    // The mode is set explicitly so that a restrictive umask cannot leave the owner
    // without read or write access.
    const bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, hash + '\n') &&
                         ::fsync(fd) == 0 && temporary.fd().close() &&
                         ::rename(temporary.path(), QFile::encodeName(path).constData()) == 0;
    if (!written) {
        qWarning("Cannot save the password file %s: %s", qPrintable(path), strerror(errno));
        return false;
    }
    temporary.keep();
    syncFolder(folder);
    return true;
}

bool removeHash(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

CryptPasswordService::CryptPasswordService(QString passwordFile)
    : passwordFile_(std::move(passwordFile)) {}

void CryptPasswordService::changePassword(const QString& provider, QWidget* owner,
                                          int /*reserved1*/, int /*reserved2*/) {
    if (provider.compare(QLatin1String("SCRSAVE"), Qt::CaseInsensitive) != 0) {
        qWarning("No password provider named %s", qPrintable(provider));
        return;
    }
    const StoredPassword stored = loadHash(passwordFile_);
    const QString file = passwordFile_;
    PasswordDialog dialog(
        stored.status == StoredPassword::Status::Hash,
        [&stored](const QByteArray& old) { return verifyPassword(old, stored.hash); },
        [file](const QByteArray& fresh) { return saveNewPassword(file, fresh); }, owner);
    if (stored.status == StoredPassword::Status::Unusable) {
        dialog.refuseChanges(stored.problem);
    }
    dialog.exec();
}

}  // namespace lumi::platform
