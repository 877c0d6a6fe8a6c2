#include "platform/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

namespace lumi::platform {

namespace {

// The section that holds every value of this application.
QString configSection() {
    return QStringLiteral("Config");
}

// The QSettings key of the value `key` in the section.
QString configKey(const QString& key) {
    return configSection() + u'/' + key;
}

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

// QSettings reads INI files as UTF-8 and silently drops what does not decode, so a file in
// another encoding, or binary garbage, would lose bytes on the next write.
bool isUtf8Text(const QByteArray& bytes) {
    if (bytes.contains('\0')) {
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

// A private copy of the settings file that QSettings parses (and, for a write, modifies).
// The copy has a fresh random name, so QSettings cannot answer from what it parsed before.
class WorkingCopy {
public:
    // Makes the copy; on failure returns the reason.
    std::optional<QString> create(const QByteArray& bytes) {
        if (!file_.open() || file_.write(bytes) != bytes.size() || !file_.flush()) {
            return file_.errorString();
        }
        file_.close();
        settings_ = std::make_unique<QSettings>(file_.fileName(), QSettings::IniFormat);
        return std::nullopt;
    }

    QSettings& settings() { return *settings_; }

    // The bytes of the copy after settings().sync(), or nullopt when it cannot be read.
    std::optional<QByteArray> bytes() const {
        QFile file(file_.fileName());
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            return std::nullopt;
        }
        return content;
    }

private:
    QTemporaryFile file_{QDir::tempPath() +
                         QStringLiteral("/lumiscribe-settings-XXXXXXXXXXXX.ini")};
    std::unique_ptr<QSettings> settings_;  // destroyed before file_ removes the copy
};

// The keys of the [Config] section of `settings` that equal `key` without regard to case,
// an exact match first.
QStringList keysMatching(QSettings& settings, const QString& key) {
    QStringList matches;
    settings.beginGroup(configSection());
    for (const QString& candidate : settings.childKeys()) {
        if (candidate.compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (candidate == key) {
            matches.prepend(candidate);
        } else {
            matches.append(candidate);
        }
    }
    settings.endGroup();
    return matches;
}

// True when QSettings understood every line of the copy. QSettings parses the lines of a
// section only when a value of it is first needed, and reports lines it cannot understand
// (a line without "=" that is no comment, binary garbage) only then; asking for every key
// makes it parse them all now.
bool parsedCleanly(QSettings& settings) {
    [[maybe_unused]] const QStringList keys = settings.allKeys();
    return settings.status() == QSettings::NoError;
}

}  // namespace

QString defaultSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Lumiscribe.ini");
}

IniSettingsStore::IniSettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString IniSettingsStore::read(const QString& key, const QString& defaultValue) const {
    const FileContent content = loadFile(filePath_);
    if (content.state != FileContent::State::Readable || !isUtf8Text(content.bytes)) {
        return defaultValue;
    }
    WorkingCopy copy;
    if (const std::optional<QString> error = copy.create(content.bytes)) {
        complain(QStringLiteral("cannot read settings file %1: no working copy: %2")
                     .arg(describe(filePath_), *error));
        return defaultValue;
    }
    QSettings& settings = copy.settings();
    if (!parsedCleanly(settings)) {
        return defaultValue;
    }
    const QStringList matches = keysMatching(settings, key);
    if (matches.isEmpty()) {
        return defaultValue;
    }
    const QVariant value = settings.value(configKey(matches.first()));
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    if (!value.isValid()) {
        return defaultValue;
    }
    return value.toString();
}

bool IniSettingsStore::contains(const QString& key) const {
    // read() falls back to its default exactly when no value is stored, so two reads with
    // different defaults tell the cases apart and keep every rule of read() (case, damaged
    // files) in one place. A value written between the two reads counts as not stored yet.
    const QString stored = read(key, QStringLiteral("0"));
    return stored == read(key, QStringLiteral("1"));
}

void IniSettingsStore::write(const QString& key, const QString& value) {
    const QString name = describe(filePath_);
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(folder)) {
        complain(QStringLiteral("settings file %1 cannot be written: cannot create folder %2")
                     .arg(name, describe(folder)));
        return;
    }
    // The same lock name that QSettings uses, so that writers of this file take turns.
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs)) {
        complain(QStringLiteral("settings file %1 cannot be written: it stays locked").arg(name));
        return;
    }
    const FileContent content = loadFile(filePath_);
    if (content.state == FileContent::State::Unreadable) {
        complain(QStringLiteral("settings file %1 cannot be read (%2); not writing")
                     .arg(name, content.error));
        return;
    }
    if (!isUtf8Text(content.bytes)) {
        complain(QStringLiteral("settings file %1 is damaged; not writing").arg(name));
        return;
    }
    WorkingCopy copy;
    if (const std::optional<QString> error = copy.create(content.bytes)) {
        complain(QStringLiteral("settings file %1 cannot be written: no working copy: %2")
                     .arg(name, *error));
        return;
    }
    QSettings& settings = copy.settings();
    if (!parsedCleanly(settings)) {
        complain(QStringLiteral("settings file %1 is damaged; not writing").arg(name));
        return;
    }
    for (const QString& stale : keysMatching(settings, key)) {
        settings.remove(configKey(stale));
    }
    settings.setValue(configKey(key), value);
    settings.sync();
    const std::optional<QByteArray> bytes = copy.bytes();
    if (settings.status() != QSettings::NoError || !bytes) {
        complain(QStringLiteral("settings file %1 cannot be written: the working copy failed")
                     .arg(name));
        return;
    }
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.flush() ||
        !file.commit()) {
        complain(
            QStringLiteral("settings file %1 cannot be written: %2").arg(name, file.errorString()));
    }
}

}  // namespace lumi::platform
