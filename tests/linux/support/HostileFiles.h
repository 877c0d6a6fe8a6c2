// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paths that name no readable regular file, made for real on disk: what a user, a network
// mount or a mistake can leave where the program expects a picture, its settings or its list.

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <vector>

namespace lumi::testing {

enum class Hostile { Fifo, Folder, Device, Unreadable, Vanished };

struct HostileCase {
    Hostile kind;
    const char* name;  // for test output
};

inline const std::vector<HostileCase>& hostileCases() {
    static const std::vector<HostileCase> cases = {
        {Hostile::Fifo, "named pipe"},           {Hostile::Folder, "folder"},
        {Hostile::Device, "device (/dev/null)"}, {Hostile::Unreadable, "unreadable file"},
        {Hostile::Vanished, "vanished file"},
    };
    return cases;
}

// Puts the hostile `kind` at `path`, creating its folder. False when this machine cannot
// make it (an unreadable file, for a user who may read every file): the case is skipped.
inline bool makeHostile(Hostile kind, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
        case Hostile::Fifo:
            return ::mkfifo(name.constData(), 0600) == 0;
        case Hostile::Folder:
            return QDir().mkpath(path);
        case Hostile::Device:
            return ::symlink("/dev/null", name.constData()) == 0;
        case Hostile::Unreadable: {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write("[Config]\nBG=3\n") < 0) {
                return false;
            }
            file.close();
            ::chmod(name.constData(), 0);
            return ::access(name.constData(), R_OK) != 0;
        }
        case Hostile::Vanished: {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write("x") == 1 &&
                   (file.close(), QFile::remove(path));
        }
    }
    return false;
}

}  // namespace lumi::testing
