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

// Reads one entry per call from the decoded file text, following the rule documented at
// readPictureList().
class EntryScanner {
public:
    explicit EntryScanner(const QString& text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    QString next() {
        while (!atEnd() && isBlank(text_[pos_])) {
            ++pos_;
        }
        QString entry = !atEnd() && text_[pos_] == u'"' ? quotedEntry() : unquotedEntry();
        skipDelimiter();
        return entry;
    }

private:
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
    bool atDelimiter() const { return text_[pos_] == u',' || isLineEnd(text_[pos_]); }

    QString quotedEntry() {
        const qsizetype start = ++pos_;  // after the opening quote
        qsizetype close = text_.indexOf(u'"', start);
        if (close < 0) {
            close = text_.size();
        }
        pos_ = close;
        QString entry = text_.mid(start, close - start);
        if (!atEnd()) {
            ++pos_;  // the closing quote
        }
        while (!atEnd() && !atDelimiter()) {
            ++pos_;
        }
        return entry;
    }

    QString unquotedEntry() {
        const qsizetype start = pos_;
        while (!atEnd() && !atDelimiter()) {
            ++pos_;
        }
        qsizetype end = pos_;
        while (end > start && isBlank(text_[end - 1])) {
            --end;
        }
        return text_.mid(start, end - start);
    }

    void skipDelimiter() {
        if (atEnd()) {
            return;
        }
        const bool carriageReturn = text_[pos_] == u'\r';
        ++pos_;
        if (carriageReturn && !atEnd() && text_[pos_] == u'\n') {
            ++pos_;
        }
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

QString describe(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

QString pictureListPath(const QString& installDir) {
    return installDir + QStringLiteral("List.txt");
}

bool canHoldPath(const QString& entry) {
    if (entry.contains(u'"') || entry.contains(u'\r') || entry.contains(u'\n')) {
        return false;
    }
    return platform::decodeFileName(platform::encodeFileName(entry)) == entry;
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
    const QString text = platform::decodeFileName(read.bytes);
    EntryScanner scanner(text);
    while (!scanner.atEnd() && result.entries.size() < kMaxPictureListEntries) {
        result.entries.append(scanner.next());
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
    QByteArray bytes;
    for (const QString& entry : entries) {
        bytes += '"';
        bytes += platform::encodeFileName(entry);
        bytes += "\"\r\n";
    }
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
