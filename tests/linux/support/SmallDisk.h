// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real small file system, for tests of what the program does when the disk is full or
// read-only: a 64 KiB tmpfs mounted on a temporary folder. Mounting needs the right to mount
// (root, or a user namespace); where it is missing, mounted() is false and the test skips.

#include <sys/mount.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>

namespace lumi::testing {

class SmallDisk {
public:
    SmallDisk() {
        const QByteArray path = QFile::encodeName(dir_.path());
        mounted_ = dir_.isValid() &&
                   ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }

    // Fills the disk with one file until it holds no more, then gives `room` bytes back
    // (a page, 4096, holds one small file).
    void fill(qint64 room = 0) const {
        QFile file(dir_.filePath(QStringLiteral("filler")));
        if (!file.open(QIODevice::WriteOnly)) {
            return;
        }
        const QByteArray block(512, 'f');
        while (file.write(block) == block.size() && file.flush()) {
        }
        file.close();
        file.resize(std::max<qint64>(0, file.size() - room));
    }

    bool makeReadOnly() const {
        return ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr,
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace lumi::testing
