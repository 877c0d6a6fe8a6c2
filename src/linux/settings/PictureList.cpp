// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/PictureList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include "linux/platform/FileSystem.h"
#include "linux/platform/RegularFile.h"

namespace lumi::settings {

namespace {

QString describe(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

QString pictureListPath(const QString& installDir) {
    return installDir + QStringLiteral("List.txt");
}

bool canHoldPath(const QString& entry) {
    const QByteArray name = platform::encodeFileName(entry);
    return fitsPictureList(std::string_view(name.constData(), name.size())) &&
           platform::decodeFileName(name) == entry;
}

PictureListReadResult readPictureList(const QString& path) {
    PictureListReadResult result;
    const platform::FileRead read = platform::readRegularFile(path);
    if (read.state == platform::FileRead::State::Missing) {
        return result;
    }
    if (!read.ok()) {
        result.error = QStringLiteral("Cannot read the picture list \"%1\": %2")
                           .arg(describe(path), read.error);
        return result;
    }
    for (const std::string& entry :
         parsePictureList(std::string_view(read.bytes.constData(), read.bytes.size()))) {
        result.entries.append(platform::decodeFileName(QByteArray::fromStdString(entry)));
    }
    return result;
}

std::optional<QString> writePictureList(const QString& path, const QStringList& entries) {
    for (const QString& entry : entries) {
        if (!canHoldPath(entry)) {
            return QStringLiteral(
                       "Cannot write the picture list \"%1\": the list file cannot "
                       "hold the name \"%2\".")
                .arg(describe(path), entry);
        }
    }
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const QString& entry : entries) {
        names.push_back(platform::encodeFileName(entry).toStdString());
    }
    const QByteArray bytes = QByteArray::fromStdString(formatPictureList(names));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        return QStringLiteral("Cannot write the picture list \"%1\": %2")
            .arg(describe(path), file.errorString());
    }
    return std::nullopt;
}

PictureListEditResult editPictureList(const QString& path, const PictureListEdit& edit) {
    // How long an edit waits for another dialog's edit of the same list to end.
    constexpr int kLockTimeoutMs = 5000;
    QLockFile lock(path + QStringLiteral(".lock"));
    platform::removeAbandonedLockFile(lock.fileName());
    if (!lock.tryLock(kLockTimeoutMs)) {
        const QString reason =
            lock.error() == QLockFile::LockFailedError
                ? QStringLiteral("another program holds its lock %1").arg(describe(lock.fileName()))
                : platform::writeProblemOf(QFileInfo(path).absolutePath())
                      .value_or(QStringLiteral("cannot create its lock file"));
        return {
            readPictureList(path).entries,
            QStringLiteral("Cannot write the picture list \"%1\": %2").arg(describe(path), reason)};
    }
    const PictureListReadResult now = readPictureList(path);
    if (!now.ok()) {
        return {now.entries, now.error};
    }
    const QStringList edited = edit(now.entries);
    if (const std::optional<QString> error = writePictureList(path, edited)) {
        return {now.entries, *error};
    }
    return {edited, {}};
}

}  // namespace lumi::settings
