// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the picture list file with two uses of each input:
//   - its bytes as a list file: any bytes read as some list, and the entries read write back
//     and read again unchanged, or are refused as a whole when the format cannot hold one;
//   - its bytes as UTF-16 text split into entries at U+001E: the writer takes exactly the
//     entries that canHoldPath() accepts, writes each as a quoted line, and they read back
//     identically; a refused list leaves the file as it was.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "linux/platform/RegularFile.h"
#include "linux/settings/PictureList.h"

namespace {

using lumi::fuzz::check;
using namespace lumi::settings;

// The folder that holds the files of every run. It lives as long as the fuzzing process, so
// that each input does not pay for making and removing a folder.
const QTemporaryDir& workFolder() {
    static const QTemporaryDir folder;
    return folder;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool store(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The file that the writer must produce for `entries`.
QByteArray quotedLines(const QStringList& entries) {
    QByteArray bytes;
    for (const QString& entry : entries) {
        bytes += '"' + lumi::platform::encodeFileName(entry) + "\"\r\n";
    }
    return bytes;
}

// Writes `entries` to `path` and checks the outcome against canHoldPath(), the file's bytes
// and a second read.
void checkWriteAndReadBack(const QString& path, const QStringList& entries) {
    const bool holdable = std::all_of(entries.begin(), entries.end(), canHoldPath);
    const QByteArray before = bytesOf(path);
    const std::optional<QString> error = writePictureList(path, entries);
    if (!holdable) {
        check(error.has_value(), "a list with an entry the format cannot hold is refused");
        check(bytesOf(path) == before, "a refused list leaves the file as it was");
        return;
    }
    check(!error.has_value(), "a list of entries the format can hold is written");
    check(bytesOf(path) == quotedLines(entries), "each entry is written as one quoted line");
    const PictureListReadResult again = readPictureList(path);
    check(again.ok(), "a written list reads without error");
    check(again.entries == entries.mid(0, kMaxPictureListEntries),
          "a written list reads back identically");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(workFolder().isValid(), "the work folder exists");
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = workFolder().filePath(QStringLiteral("List.txt"));

    // The input as a file.
    check(store(path, input), "the input is stored as a file");
    const PictureListReadResult read = readPictureList(path);
    check(read.ok(), "any bytes read as a list");
    check(read.entries.size() <= kMaxPictureListEntries, "no more entries than the limit");
    check(!input.isEmpty() || read.entries.isEmpty(), "an empty file is an empty list");
    checkWriteAndReadBack(path, read.entries);

    // The input as entries.
    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    const QStringList entries = text.isEmpty() ? QStringList() : text.split(QChar(0x1E));
    checkWriteAndReadBack(path, entries);
    return 0;
}
