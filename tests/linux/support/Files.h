// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Exact bytes of files, for tests that check what the program wrote.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace lumi::testing {

// The whole content of the file at `path`, or "<missing>" when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces the file at `path` with `bytes`, creating its folder; false on any failure.
inline bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace lumi::testing
