// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/PictureFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include <algorithm>
#include <vector>

#include "linux/display/HeifDecoder.h"

namespace lumi::settings {
namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The run of digits of `text` that starts at `start`: where it ends, and where its first
// significant digit stands (the end itself for a run of zeros).
struct DigitRun {
    qsizetype end = 0;
    qsizetype significant = 0;
};

DigitRun digitRun(const QString& text, qsizetype start) {
    DigitRun run{start, start};
    while (run.end < text.size() && isAsciiDigit(text.at(run.end))) {
        ++run.end;
    }
    while (run.significant < run.end && text.at(run.significant) == u'0') {
        ++run.significant;
    }
    return run;
}

// Fills `out` with the pictures under the folder `path`. Only the names of the folder's
// pictures and subfolders are held while it is read, so that a large folder costs little more
// than the paths it yields.
void collectPictures(const QString& path, QSet<QString>& visited, QStringList& out) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical)) {
        return;
    }
    visited.insert(canonical);
    struct Child {
        QString name;
        bool folder = false;
    };
    std::vector<Child> children;
    QDirIterator entries(path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.isDir()) {
            children.push_back({info.fileName(), true});
        } else if (hasPictureExtension(info.fileName())) {
            children.push_back({info.fileName(), false});
        }
    }
    std::sort(children.begin(), children.end(),
              [](const Child& a, const Child& b) { return naturalLess(a.name, b.name); });
    const QString prefix = path.endsWith(u'/') ? path : path + u'/';
    for (const Child& child : children) {
        if (child.folder) {
            collectPictures(prefix + child.name, visited, out);
        } else {
            out.append(prefix + child.name);
        }
    }
}

}  // namespace

bool isFolderEntry(const QString& entry) {
    return !entry.isEmpty() && QFileInfo(entry).isDir();
}

const QStringList& pictureExtensions() {
    // The decoder's formats are fixed for the life of the process once the application
    // object has loaded its image plugins, so they are asked for once.
    static const QStringList extensions = [] {
        QStringList list;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            list.append(QString::fromLatin1(format).toLower());
        }
        // HEIC and AVIF photos go to the display's own HEIF decoder.
        list.append(display::heifExtensions());
        list.removeDuplicates();
        return list;
    }();
    return extensions;
}

bool hasPictureExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) {
        return false;
    }
    return pictureExtensions().contains(name.mid(dot + 1).toLower());
}

bool naturalLess(const QString& left, const QString& right) {
    qsizetype i = 0;
    qsizetype j = 0;
    int zerosTieBreak = 0;  // < 0: left has fewer leading zeros at the first difference
    while (i < left.size() && j < right.size()) {
        if (isAsciiDigit(left.at(i)) && isAsciiDigit(right.at(j))) {
            const DigitRun a = digitRun(left, i);
            const DigitRun b = digitRun(right, j);
            const qsizetype lengthA = a.end - a.significant;
            const qsizetype lengthB = b.end - b.significant;
            if (lengthA != lengthB) {
                return lengthA < lengthB;
            }
            const int digits = QStringView(left)
                                   .sliced(a.significant, lengthA)
                                   .compare(QStringView(right).sliced(b.significant, lengthB));
            if (digits != 0) {
                return digits < 0;
            }
            if (zerosTieBreak == 0 && a.significant - i != b.significant - j) {
                zerosTieBreak = (a.significant - i) < (b.significant - j) ? -1 : 1;
            }
            i = a.end;
            j = b.end;
            continue;
        }
        const char32_t a = left.at(i).toCaseFolded().unicode();
        const char32_t b = right.at(j).toCaseFolded().unicode();
        if (a != b) {
            return a < b;
        }
        ++i;
        ++j;
    }
    if (i < left.size() || j < right.size()) {
        return j < right.size();  // the name that ran out first comes first
    }
    if (zerosTieBreak != 0) {
        return zerosTieBreak < 0;
    }
    return left < right;
}

QStringList expandFolder(const QString& folder) {
    QStringList pictures;
    if (!isFolderEntry(folder)) {
        return pictures;
    }
    QSet<QString> visited;
    collectPictures(QDir::cleanPath(folder), visited, pictures);
    return pictures;
}

QStringList expandPictureList(const QStringList& entries) {
    QStringList expanded;
    for (const QString& entry : entries) {
        if (!isFolderEntry(entry)) {
            expanded.append(entry);
            continue;
        }
        const QStringList pictures = expandFolder(entry);
        if (pictures.isEmpty()) {
            expanded.append(entry);
        } else {
            expanded.append(pictures);
        }
    }
    return expanded;
}

}  // namespace lumi::settings
