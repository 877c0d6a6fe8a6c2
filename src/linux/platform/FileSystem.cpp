// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>

#include "linux/platform/RegularFile.h"

namespace lumi::platform {
namespace {

// True for the names that the replacement of a file gives its temporary: the name, a dot and
// six random letters and digits. Six lower-case letters alone are left alone, since they are
// more likely a name the user gave ("Lumiscribe.ini.backup") than a random one.
bool isTemporaryOf(const QByteArray& name, const QByteArray& prefix) {
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)) {
        return false;
    }
    bool random = false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        const bool lower = c >= 'a' && c <= 'z';
        const bool other = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!lower && !other) {
            return false;
        }
        random = random || other;
    }
    return random;
}

}  // namespace

std::optional<QString> writeProblemOf(const QString& folder) {
    const QByteArray path = encodeFileName(folder);
    struct statvfs disk = {};
    if (::statvfs(path.constData(), &disk) == 0) {
        if (disk.f_flag & ST_RDONLY) {
            return QStringLiteral("the disk is read-only");
        }
        if (disk.f_bavail == 0 || (disk.f_files > 0 && disk.f_favail == 0)) {
            return QStringLiteral("the disk is full");
        }
    }
    if (::access(path.constData(), W_OK | X_OK) != 0 && errno == EACCES) {
        return QStringLiteral("no permission to create files in folder %1")
            .arg(QDir::toNativeSeparators(folder));
    }
    return std::nullopt;
}

bool removeAbandonedLockFile(const QString& lockPath) {
    const QByteArray path = encodeFileName(lockPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno == ENOENT;
    }
    struct stat status = {};
    bool removed = false;
    // Held while unlinking, so that no process can take the file in between.
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        removed = ::unlink(path.constData()) == 0;
    }
    ::close(fd);
    return removed;
}

void removeAbandonedTemporaries(const QString& filePath) {
    const QFileInfo file(filePath);
    const QByteArray folder = encodeFileName(file.absolutePath());
    const QByteArray prefix = encodeFileName(file.fileName()) + '.';
    DIR* listing = ::opendir(folder.constData());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (!isTemporaryOf(name, prefix)) {
            continue;
        }
        struct stat status = {};
        if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == ::getuid()) {
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

QString homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return decodeFileName(home);
    }
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) {
        return decodeFileName(account->pw_dir);
    }
    return QStringLiteral("/");
}

}  // namespace lumi::platform
