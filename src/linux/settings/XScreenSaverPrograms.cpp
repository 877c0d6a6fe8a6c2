// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/XScreenSaverPrograms.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace lumi::settings {

namespace {

// One line of the file: its bytes without the closing LF, and whether it had one (only the
// last line of a file may lack it). A CR before the LF belongs to the bytes, as XScreenSaver
// reads them.
struct Line {
    QByteArray text;
    bool hasEnd = true;
};

QList<Line> splitLines(const QByteArray& file) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < file.size()) {
        const qsizetype end = file.indexOf('\n', start);
        if (end < 0) {
            lines.append(Line{file.mid(start), false});
            break;
        }
        lines.append(Line{file.mid(start, end - start), true});
        start = end + 1;
    }
    return lines;
}

QByteArray joinLines(const QList<Line>& lines) {
    QByteArray file;
    for (const Line& line : lines) {
        file += line.text;
        if (line.hasEnd) {
            file += '\n';
        }
    }
    return file;
}

bool continues(const QByteArray& text) {
    return text.endsWith('\\');
}

QByteArray withoutContinuation(const QByteArray& text) {
    return continues(text) ? text.chopped(1) : text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

QByteArray trimmedRight(QByteArray text) {
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

// The part after "programs:" when `text` begins the resource (blanks around the name allowed),
// nothing otherwise.
std::optional<QByteArray> programsValueOf(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i))) {
        ++i;
    }
    static constexpr QByteArrayView kName = "programs";
    if (!text.mid(i).startsWith(kName)) {
        return std::nullopt;
    }
    i += kName.size();
    while (i < text.size() && isBlank(text.at(i))) {
        ++i;
    }
    if (i >= text.size() || text.at(i) != ':') {
        return std::nullopt;
    }
    return text.mid(i + 1);
}

// The lines of the (last) "programs" resource: the first and the last index, or nothing.
struct ValueLines {
    qsizetype first = -1;
    qsizetype last = -1;
};

ValueLines findPrograms(const QList<Line>& lines) {
    ValueLines found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype start = i;
        while (i + 1 < lines.size() && continues(lines.at(i).text)) {
            ++i;  // the lines of one resource, or of one comment
        }
        if (programsValueOf(lines.at(start).text)) {
            found = ValueLines{start, i};
        }
    }
    return found;
}

// The value of the resource on lines `value`, its continuations joined as XScreenSaver joins
// them.
QByteArray joinedValue(const QList<Line>& lines, ValueLines value) {
    QByteArray joined = withoutContinuation(*programsValueOf(lines.at(value.first).text));
    for (qsizetype i = value.first + 1; i <= value.last; ++i) {
        joined += withoutContinuation(lines.at(i).text);
    }
    return joined;
}

bool endsEntries(const QByteArray& value) {
    const QByteArray trimmed = trimmedRight(value);
    return trimmed.isEmpty() || trimmed.endsWith("\\n");
}

// The program of one entry, "[-] [visual:] ["label"] command [arguments]": the first word of
// the command (a single-quoted one without its quotes), by its file name.
QByteArray programOf(const QByteArray& entry) {
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < entry.size() && (isBlank(entry.at(i)) || entry.at(i) == '\n')) {
            ++i;
        }
    };
    skipBlanks();
    if (i < entry.size() && entry.at(i) == '-') {
        ++i;
        skipBlanks();
    }
    qsizetype wordEnd = i;
    while (wordEnd < entry.size() && !isBlank(entry.at(wordEnd)) && entry.at(wordEnd) != ':' &&
           entry.at(wordEnd) != '"') {
        ++wordEnd;
    }
    if (wordEnd < entry.size() && entry.at(wordEnd) == ':') {
        i = wordEnd + 1;  // the visual
        skipBlanks();
    }
    if (i < entry.size() && entry.at(i) == '"') {
        const qsizetype close = entry.indexOf('"', i + 1);
        i = close < 0 ? entry.size() : close + 1;  // the label
        skipBlanks();
    }
    QByteArray word;
    if (i < entry.size() && entry.at(i) == '\'') {
        const qsizetype close = entry.indexOf('\'', i + 1);
        word = entry.mid(i + 1, close < 0 ? -1 : close - i - 1);
    } else {
        qsizetype end = i;
        while (end < entry.size() && !isBlank(entry.at(end))) {
            ++end;
        }
        word = entry.mid(i, end - i);
    }
    return word.mid(word.lastIndexOf('/') + 1);
}

bool isPlainShellWord(const QString& text) {
    for (const QChar c : text) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) &&
            !QStringLiteral("_./+,:=@%^-").contains(c)) {
            return false;
        }
    }
    return !text.isEmpty();
}

bool sameBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// Writes `bytes` to `path` as a whole: the file holds its old bytes or the new ones, never a
// part. Returns the reason on failure.
std::optional<QString> replaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

XScreenSaverListing failed(const QString& filePath, const QString& error) {
    return XScreenSaverListing{XScreenSaverListing::Outcome::Failed, filePath, {}, error};
}

}  // namespace

std::optional<QByteArray> lumiscribeEntry(const QString& command) {
    for (const QChar c : command) {
        if (c == u'\\' || c == u'\'' || c == u'"' || c.category() == QChar::Other_Control) {
            return std::nullopt;
        }
    }
    if (command.isEmpty()) {
        return std::nullopt;
    }
    const QString word = isPlainShellWord(command) ? command : QStringLiteral("'%1'").arg(command);
    return "\"Lumiscribe\"  " + word.toUtf8() + " --root";
}

bool listsProgram(const QByteArray& file, const QByteArray& program) {
    const QList<Line> lines = splitLines(file);
    const ValueLines value = findPrograms(lines);
    if (value.first < 0) {
        return false;
    }
    const QByteArray joined = joinedValue(lines, value);
    qsizetype start = 0;
    while (start <= joined.size()) {
        qsizetype end = joined.indexOf("\\n", start);
        if (end < 0) {
            end = joined.size();
        }
        if (programOf(joined.mid(start, end - start)) == program) {
            return true;
        }
        start = end + 2;
    }
    return false;
}

QByteArray withProgramEntry(const QByteArray& file, const QByteArray& entry) {
    QList<Line> lines = splitLines(file);
    const QByteArray entryLine = "  " + entry + " \\n";
    const ValueLines value = findPrograms(lines);
    if (value.first < 0) {
        QByteArray result = file;
        if (!result.isEmpty() && !result.endsWith('\n')) {
            result += '\n';
        }
        if (!lines.isEmpty() && continues(lines.last().text)) {
            result += '\n';  // ends the resource that the last line continues
        }
        return result + "programs:\\\n" + entryLine + "\n";
    }

    const QByteArray& header = lines.at(value.first).text;
    if (continues(header) && endsEntries(withoutContinuation(*programsValueOf(header)))) {
        lines.insert(value.first + 1, Line{entryLine + "\\", true});
        return joinLines(lines);
    }

    Line& last = lines[value.last];
    const bool endsWithEntry = endsEntries(joinedValue(lines, value));
    QByteArray added = entryLine;
    if (continues(last.text)) {
        // The file ends inside the value: the new line continues it.
        if (!endsWithEntry) {
            added.prepend("\\n");
        }
    } else {
        last.text += endsWithEntry ? "\\" : "\\n\\";
    }
    last.hasEnd = true;
    lines.insert(value.last + 1, Line{added, true});
    return joinLines(lines);
}

XScreenSaverListing addToXScreenSaver(const QString& filePath, const QString& command) {
    const std::optional<QByteArray> entry = lumiscribeEntry(command);
    if (!entry) {
        return failed(filePath,
                      QStringLiteral("the saver's path %1 holds a character that an entry of "
                                     "XScreenSaver's list cannot carry")
                          .arg(command));
    }
    const QFileInfo info(filePath);
    const std::optional<QString> saverMissing =
        command.contains(u'/') && !QFileInfo(command).isExecutable()
            ? std::optional(QStringLiteral("the saver %1 is missing; XScreenSaver could not "
                                           "start it")
                                .arg(command))
            : std::nullopt;
    if (!info.exists()) {
        if (saverMissing) {
            return failed(filePath, *saverMissing);
        }
        if (const auto error = replaceFile(filePath, withProgramEntry({}, *entry))) {
            return failed(filePath,
                          QStringLiteral("%1 could not be created: %2").arg(filePath, *error));
        }
        return XScreenSaverListing{XScreenSaverListing::Outcome::Created, filePath, {}, {}};
    }
    if (!info.isFile()) {
        return failed(filePath, QStringLiteral("%1 is not a file").arg(filePath));
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return failed(filePath,
                      QStringLiteral("%1 could not be read: %2").arg(filePath, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    file.close();
    if (listsProgram(bytes, kHostedDisplayProgram)) {
        return XScreenSaverListing{XScreenSaverListing::Outcome::AlreadyListed, filePath, {}, {}};
    }
    if (saverMissing) {
        return failed(filePath, *saverMissing);
    }

    QString backupPath = filePath + QStringLiteral(".lumiscribe-backup");
    for (int number = 2; QFileInfo::exists(backupPath) && !sameBytes(backupPath, bytes); ++number) {
        backupPath = filePath + QStringLiteral(".lumiscribe-backup.%1").arg(number);
    }
    if (!QFileInfo::exists(backupPath)) {
        if (const auto error = replaceFile(backupPath, bytes)) {
            return failed(
                filePath,
                QStringLiteral("no copy of it could be kept in %1: %2").arg(backupPath, *error));
        }
    }
    if (const auto error = replaceFile(filePath, withProgramEntry(bytes, *entry))) {
        return failed(filePath, QStringLiteral("%1 could not be written: %2; a copy of it is in %3")
                                    .arg(filePath, *error, backupPath));
    }
    return XScreenSaverListing{XScreenSaverListing::Outcome::Added, filePath, backupPath, {}};
}

QString listingMessage(const XScreenSaverListing& listing) {
    static const QString choose =
        QStringLiteral("Choose \"Lumiscribe\" in XScreenSaver's settings (xscreensaver-settings).");
    switch (listing.outcome) {
        case XScreenSaverListing::Outcome::Added:
            return QStringLiteral(
                       "Lumiscribe is now in XScreenSaver's list of screen savers, "
                       "in %1. The file as it was is kept in %2. %3")
                .arg(listing.filePath, listing.backupPath, choose);
        case XScreenSaverListing::Outcome::Created:
            return QStringLiteral(
                       "Lumiscribe is now in XScreenSaver's list of screen savers: "
                       "%1 was made for it, as XScreenSaver had no settings of "
                       "yours yet. %2")
                .arg(listing.filePath, choose);
        case XScreenSaverListing::Outcome::AlreadyListed:
            return QStringLiteral(
                       "Lumiscribe is already in XScreenSaver's list of screen "
                       "savers, in %1; nothing was changed. %2")
                .arg(listing.filePath, choose);
        case XScreenSaverListing::Outcome::Failed:
            break;
    }
    return QStringLiteral(
               "Lumiscribe could not be added to XScreenSaver's list of screen "
               "savers: %1. %2 is as it was.")
        .arg(listing.error, listing.filePath);
}

}  // namespace lumi::settings
