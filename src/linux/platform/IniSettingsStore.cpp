// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/IniSettingsStore.h"

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

#include "linux/platform/FileSystem.h"
#include "linux/platform/RegularFile.h"
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

FileContent loadFile(RegularFileReader& reader, const QString& path) {
    FileRead read = reader.read(path);
    switch (read.state) {
        case FileRead::State::Missing:
            return {};
        case FileRead::State::Read:
            return {FileContent::State::Readable, std::move(read.bytes), {}};
        case FileRead::State::NotRegular:
        case FileRead::State::TooLarge:  // not asked for: the store gives no size test
        case FileRead::State::Unreadable:
        case FileRead::State::NoAnswer:
            break;
    }
    return {FileContent::State::Unreadable, {}, read.error};
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

std::optional<QString> IniSettingsStore::keepDamagedCopy(const QByteArray& bytes) const {
    const QString name = describe(filePath_);
    if (damagedCopyFailed_) {
        // One attempt per store: a disk that refused the copy once gets no pile of them.
        return damagedCopyFailed_;
    }
    // The first free name, unless one of the names already holds these very bytes: then a
    // rewrite after this damage was interrupted, and the copy is there.
    int number = 1;
    for (; QFileInfo::exists(damagedCopyPath(number)); ++number) {
        const FileContent earlier = loadFile(reader_, damagedCopyPath(number));
        if (earlier.state == FileContent::State::Readable && earlier.bytes == bytes) {
            return std::nullopt;
        }
    }
    const QString copyPath = damagedCopyPath(number);
    QFile copy(copyPath);
    const bool created = copy.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    bool whole = created && copy.write(bytes) == bytes.size() && copy.flush();
    if (whole) {
        copy.close();
        whole = copy.error() == QFileDevice::NoError;
    }
    if (!whole) {
        const QString reason =
            writeProblemOf(QFileInfo(copyPath).absolutePath()).value_or(copy.errorString());
        complain(QStringLiteral("settings file %1 has lines that cannot be read and cannot be "
                                "kept as %2 (%3); not writing")
                     .arg(name, describe(copyPath), reason));
        if (created) {
            // A copy that does not hold the whole file is no copy. QFile::remove() would keep
            // a file whose close failed, so the name goes by itself.
            copy.close();
            QFile::remove(copyPath);
        }
        damagedCopyFailed_ = reason;
        return reason;
    }
    complain(QStringLiteral("settings file %1 has lines that cannot be read; kept it as %2 and "
                            "wrote the file without them")
                 .arg(name, describe(copyPath)));
    return std::nullopt;
}

std::optional<QString> IniSettingsStore::lockForWriting(QLockFile& lock) const {
    // A lock file whose process is gone (killed, perhaps before it wrote its process id) is
    // taken over at once rather than after it has aged.
    removeAbandonedLockFile(lock.fileName());
    if (lock.tryLock(kLockTimeoutMs)) {
        return std::nullopt;
    }
    const QString name = describe(filePath_);
    const QString folder = QFileInfo(filePath_).absolutePath();
    QString reason;
    if (lock.error() == QLockFile::LockFailedError) {
        reason = QStringLiteral("another process holds its lock %1")
                     .arg(describe(filePath_ + QStringLiteral(".lock")));
    } else {
        reason = writeProblemOf(folder).value_or(
            QStringLiteral("cannot create its lock file in folder %1").arg(describe(folder)));
    }
    complain(QStringLiteral("settings file %1 cannot be written: %2").arg(name, reason));
    return reason;
}

QString IniSettingsStore::damagedCopyPath(int number) const {
    const QString first = filePath_ + QStringLiteral(".damaged");
    return number <= 1 ? first : first + u'.' + QString::number(number);
}

QString defaultSettingsFile() {
    // Without HOME, Qt would put the file under "/" ("//.config"); the account's home
    // folder is where the user looks for it.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const QString folder =
        configHome.startsWith('/')
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : homeFolder() + QStringLiteral("/.config");
    return folder + QStringLiteral("/Lumiscribe.ini");
}

IniSettingsStore::IniSettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

IniDocument IniSettingsStore::loadDocument() const {
    const FileContent content = loadFile(reader_, filePath_);
    if (content.state != FileContent::State::Unreadable) {
        reportedUnreadable_ = false;
    } else if (!reportedUnreadable_) {
        reportedUnreadable_ = true;
        complain(QStringLiteral("settings file %1 cannot be read (%2); using the defaults")
                     .arg(describe(filePath_), content.error));
    }
    return IniDocument::parse(std::string_view(content.bytes.constData(), content.bytes.size()));
}

std::string IniSettingsStore::read(std::string_view key, std::string_view defaultValue) const {
    return loadDocument().value(key).value_or(std::string(defaultValue));
}

bool IniSettingsStore::contains(std::string_view key) const {
    return loadDocument().value(key).has_value();
}

std::optional<std::string> IniSettingsStore::write(std::string_view key, std::string_view value) {
    return writeAll({{std::string(key), std::string(value)}});
}

std::optional<std::string> IniSettingsStore::writeAll(const Values& values) {
    std::optional<QString> refusal = replaceFile(values);
    return refusal ? std::optional<std::string>(refusal->toStdString()) : std::nullopt;
}

std::optional<QString> IniSettingsStore::replaceFile(const Values& values) {
    const QString name = describe(filePath_);
    for (const auto& [key, value] : values) {
        if (!IniDocument::isStorableKey(key)) {
            const QString text = QString::fromUtf8(key);
            complain(QStringLiteral("settings file %1 cannot hold the key \"%2\"; not writing")
                         .arg(name, text));
            return QStringLiteral("the file cannot hold the key \"%1\"").arg(text);
        }
    }
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (const std::optional<QString> error = makeFolder(folder)) {
        const QString reason =
            writeProblemOf(QFileInfo(folder).absolutePath())
                .value_or(
                    QStringLiteral("cannot create folder %1 (%2)").arg(describe(folder), *error));
        complain(QStringLiteral("settings file %1 cannot be written: %2").arg(name, reason));
        return reason;
    }
    // Writers of this file take turns; earlier versions of the program used the same name.
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    if (std::optional<QString> refused = lockForWriting(lock)) {
        return refused;
    }
    // Under the lock no other replacement is under way: a temporary file beside the file is
    // what a killed write left.
    removeAbandonedTemporaries(filePath_);
    const FileContent content = loadFile(reader_, filePath_);
    if (content.state == FileContent::State::Unreadable) {
        // Said once for the file, however many values the caller goes on to write.
        if (!std::exchange(refusedUnreadable_, true)) {
            complain(QStringLiteral("settings file %1 cannot be read (%2); not writing")
                         .arg(name, content.error));
        }
        return QStringLiteral("the file cannot be read (%1)").arg(content.error);
    }
    IniDocument document =
        IniDocument::parse(std::string_view(content.bytes.constData(), content.bytes.size()));
    if (document.damaged()) {
        if (std::optional<QString> refused = keepDamagedCopy(content.bytes)) {
            return refused;
        }
    }
    for (const auto& [key, value] : values) {
        document.setValue(key, value);
    }
    const QByteArray bytes = QByteArray::fromStdString(document.toBytes());
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        const QString reason = writeProblemOf(folder).value_or(file.errorString());
        complain(QStringLiteral("settings file %1 cannot be written: %2").arg(name, reason));
        return reason;
    }
    return std::nullopt;
}

}  // namespace lumi::platform
