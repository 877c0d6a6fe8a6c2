// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "settings/IniDocument.h"

namespace lumi::platform {

namespace {

using settings::IniDocument;

// How long a write waits for another process's write to the same file to finish.
constexpr int kLockTimeoutMs = 5000;

void complain(const QString& line) {
    std::fputs(QStringLiteral("lumiscribe: %1\n").arg(line).toLocal8Bit().constData(), stderr);
}

QString describe(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The bytes of the settings file as they are on disk now.
struct FileContent {
    enum class State { Missing, Readable, Unreadable };
    State state = State::Missing;
    QByteArray bytes;
    QString error;  // why an Unreadable file could not be read
};

FileContent loadFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {FileContent::State::Unreadable, {}, file.errorString()};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {FileContent::State::Unreadable, {}, file.errorString()};
    }
    return {FileContent::State::Readable, std::move(bytes), {}};
}

// The settings as they are on disk now; a file that cannot be read holds none.
IniDocument loadDocument(const QString& path) {
    const FileContent content = loadFile(path);
    return IniDocument::parse(content.bytes);
}

// Creates `folder` and its parents; nullopt on success, otherwise the system's reason.
std::optional<QString> makeFolder(const QString& folder) {
    std::error_code error;
    std::filesystem::create_directories(
        std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error) {
        return QString::fromLocal8Bit(error.message());
    }
    return std::nullopt;
}

}  // namespace

bool IniSettingsStore::keepDamagedCopy(const QByteArray& bytes) const {
    const QString name = describe(filePath_);
    // The first free name, unless one of the names already holds these very bytes: then a
    // rewrite after this damage was interrupted, and the copy is there.
    int number = 1;
    for (; QFileInfo::exists(damagedCopyPath(number)); ++number) {
        const FileContent earlier = loadFile(damagedCopyPath(number));
        if (earlier.state == FileContent::State::Readable && earlier.bytes == bytes) {
            return true;
        }
    }
    const QString copyPath = damagedCopyPath(number);
    QFile copy(copyPath);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        copy.write(bytes) != bytes.size() || !copy.flush()) {
        complain(QStringLiteral("settings file %1 has lines that cannot be read and cannot be "
                                "kept as %2 (%3); not writing")
                     .arg(name, describe(copyPath), copy.errorString()));
        copy.remove();
        return false;
    }
    copy.close();
    complain(QStringLiteral("settings file %1 has lines that cannot be read; kept it as %2 and "
                            "wrote the file without them")
                 .arg(name, describe(copyPath)));
    return true;
}

bool IniSettingsStore::lockForWriting(QLockFile& lock) const {
    if (lock.tryLock(kLockTimeoutMs)) {
        return true;
    }
    const QString name = describe(filePath_);
    const QString folder = describe(QFileInfo(filePath_).absolutePath());
    switch (lock.error()) {
        case QLockFile::LockFailedError:
            complain(QStringLiteral("settings file %1 cannot be written: another process holds "
                                    "its lock %2")
                         .arg(name, describe(filePath_ + QStringLiteral(".lock"))));
            break;
        case QLockFile::PermissionError:
            complain(QStringLiteral("settings file %1 cannot be written: no permission to "
                                    "create files in folder %2")
                         .arg(name, folder));
            break;
        case QLockFile::NoError:
        case QLockFile::UnknownError:
            complain(QStringLiteral("settings file %1 cannot be written: cannot create its "
                                    "lock file in folder %2")
                         .arg(name, folder));
            break;
    }
    return false;
}

QString IniSettingsStore::damagedCopyPath(int number) const {
    const QString first = filePath_ + QStringLiteral(".damaged");
    return number <= 1 ? first : first + u'.' + QString::number(number);
}

QString defaultSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Lumiscribe.ini");
}

IniSettingsStore::IniSettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString IniSettingsStore::read(const QString& key, const QString& defaultValue) const {
    return loadDocument(filePath_).value(key).value_or(defaultValue);
}

bool IniSettingsStore::contains(const QString& key) const {
    return loadDocument(filePath_).value(key).has_value();
}

void IniSettingsStore::write(const QString& key, const QString& value) {
    const QString name = describe(filePath_);
    if (!IniDocument::isStorableKey(key)) {
        complain(QStringLiteral("settings file %1 cannot hold the key \"%2\"; not writing")
                     .arg(name, key));
        return;
    }
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (const std::optional<QString> error = makeFolder(folder)) {
        complain(QStringLiteral("settings file %1 cannot be written: cannot create folder %2 "
                                "(%3)")
                     .arg(name, describe(folder), *error));
        return;
    }
    // Writers of this file take turns; earlier versions of the program used the same name.
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    if (!lockForWriting(lock)) {
        return;
    }
    const FileContent content = loadFile(filePath_);
    if (content.state == FileContent::State::Unreadable) {
        complain(QStringLiteral("settings file %1 cannot be read (%2); not writing")
                     .arg(name, content.error));
        return;
    }
    IniDocument document = IniDocument::parse(content.bytes);
    if (document.damaged() && !keepDamagedCopy(content.bytes)) {
        return;
    }
    document.setValue(key, value);
    const QByteArray bytes = document.toBytes();
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        complain(
            QStringLiteral("settings file %1 cannot be written: %2").arg(name, file.errorString()));
    }
}

}  // namespace lumi::platform
