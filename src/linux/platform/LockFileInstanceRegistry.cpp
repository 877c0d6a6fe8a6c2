// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <cstdio>

#include "platform/InstanceRegistry.h"
#include "linux/platform/RuntimeFolder.h"

namespace lumi::platform {
namespace {

// One lock file per process, "instance-<pid>.lock" in the runtime folder, held with an
// exclusive flock() for the life of the process. The kernel drops the lock when the
// process ends in any way, so a file whose lock can be taken belongs to a dead process:
// it is removed and does not count.

bool isHeldByLiveProcess(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held) {
        ::unlink(path.constData());
    }
    ::close(fd);
    return held;
}

// True when a lock file other than `ownPath` is held by a live process. Every file is looked
// at, so that the stale ones are all removed.
bool liveInstanceOtherThan(const QByteArray& ownPath) {
    const QDir folder(runtimeFolder());
    bool found = false;
    const QStringList files = folder.entryList({QStringLiteral("instance-*.lock")}, QDir::Files);
    for (const QString& file : files) {
        const QByteArray path = QFile::encodeName(folder.filePath(file));
        if (path == ownPath) {
            continue;
        }
        if (isHeldByLiveProcess(path)) {
            found = true;
        }
    }
    return found;
}

class LockFileInstanceRegistry final : public InstanceRegistry {
public:
    LockFileInstanceRegistry() {
        const QString folder = runtimeFolder();
        const QString name = QStringLiteral("instance-%1.lock").arg(::getpid());
        // The file is locked under a temporary name and only then renamed, so that no other
        // process ever sees it unlocked and takes it for a stale one.
        const QByteArray temporary = QFile::encodeName(folder + "/." + name);
        ownPath_ = QFile::encodeName(folder + "/" + name);
        fd_ = ::open(temporary.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0 ||
            ::rename(temporary.constData(), ownPath_.constData()) != 0) {
            std::fprintf(stderr, "lumiscribe: cannot register this instance in %s\n",
                         qPrintable(folder));
        }
    }

    ~LockFileInstanceRegistry() override {
        if (fd_ >= 0) {
            ::unlink(ownPath_.constData());
            ::close(fd_);
        }
    }

    LockFileInstanceRegistry(const LockFileInstanceRegistry&) = delete;
    LockFileInstanceRegistry& operator=(const LockFileInstanceRegistry&) = delete;

    bool anotherInstanceRunning() override { return liveInstanceOtherThan(ownPath_); }

private:
    QByteArray ownPath_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<InstanceRegistry> registerThisInstance() {
    return std::make_unique<LockFileInstanceRegistry>();
}

bool instanceRunning() {
    return liveInstanceOtherThan(QByteArray());
}

}  // namespace lumi::platform
