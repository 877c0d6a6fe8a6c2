#include "platform/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
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

// How many damaged copies are kept beside the settings file before writes stop.
constexpr int kMaxDamagedCopies = 100;

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

// The settings file with every line that does not parse left out: the part that is read,
// and that a write keeps.
struct CleanText {
    QByteArray bytes;
    bool damaged = false;  // some line was left out or repaired
};

// Each line is judged on its own, so one bad line costs only itself. A line parses when,
// with its surrounding blanks and a closing CR ignored, it is blank, a ";" comment, a section
// header or "key=value" with a key, and is UTF-8 text without NUL bytes (QSettings reads INI
// files as UTF-8 and would silently drop what does not decode). A section header without its
// closing bracket is closed; one without a name is left out, and its lines then belong to the
// section before it.
CleanText cleanText(const QByteArray& bytes) {
    CleanText result;
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();  // the end of the last line
    }
    for (const QByteArray& line : lines) {
        // Bytes that are not UTF-8 decode to U+FFFD and do not come back the same.
        const bool utf8 = QString::fromUtf8(line).toUtf8() == line;
        const QByteArray trimmed = line.trimmed();
        bool keep = utf8 && !line.contains('\0');
        QByteArray kept = line;
        if (keep && trimmed.startsWith('[') && !trimmed.contains(']')) {
            const QByteArray name = trimmed.mid(1).trimmed();
            keep = !name.isEmpty();
            kept = '[' + name + ']';
        } else if (keep && !trimmed.isEmpty() && !trimmed.startsWith(';') &&
                   !trimmed.startsWith('[')) {
            const qsizetype equals = trimmed.indexOf('=');
            keep = equals > 0 && !trimmed.left(equals).trimmed().isEmpty();
        }
        if (!keep || kept != line) {
            result.damaged = true;
        }
        if (keep) {
            result.bytes += kept + '\n';
        }
    }
    return result;
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

bool IniSettingsStore::keepDamagedCopy(const QByteArray& bytes) const {
    const QString name = describe(filePath_);
    // The first free name, unless one of the names already holds these very bytes: then a
    // rewrite after this damage was interrupted, and the copy is there.
    QString copyPath;
    for (int number = 1; number <= kMaxDamagedCopies; ++number) {
        const QString candidate = damagedCopyPath(number);
        if (!QFileInfo::exists(candidate)) {
            copyPath = candidate;
            break;
        }
        const FileContent earlier = loadFile(candidate);
        if (earlier.state == FileContent::State::Readable && earlier.bytes == bytes) {
            return true;
        }
    }
    if (copyPath.isEmpty()) {
        complain(QStringLiteral("settings file %1 has lines that do not parse and %2 to %3 are "
                                "all taken; not writing")
                     .arg(name, describe(damagedCopyPath(1)),
                          describe(damagedCopyPath(kMaxDamagedCopies))));
        return false;
    }
    const QString copyName = describe(copyPath);
    QFile copy(copyPath);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        copy.write(bytes) != bytes.size() || !copy.flush()) {
        complain(QStringLiteral("settings file %1 has lines that do not parse and cannot be "
                                "kept as %2 (%3); not writing")
                     .arg(name, copyName, copy.errorString()));
        copy.remove();
        return false;
    }
    copy.close();
    complain(QStringLiteral("settings file %1 has lines that do not parse; kept it as %2 and "
                            "wrote a clean file without them")
                 .arg(name, copyName));
    return true;
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
    const FileContent content = loadFile(filePath_);
    if (content.state != FileContent::State::Readable) {
        return defaultValue;
    }
    WorkingCopy copy;
    if (const std::optional<QString> error = copy.create(cleanText(content.bytes).bytes)) {
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
    const CleanText clean = cleanText(content.bytes);
    if (clean.damaged && !keepDamagedCopy(content.bytes)) {
        return;
    }
    WorkingCopy copy;
    if (const std::optional<QString> error = copy.create(clean.bytes)) {
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
