// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/PictureFolders.h"

#include <QByteArray>
#include <QImageReader>

#include <string>
#include <vector>

#include "linux/display/HeifDecoder.h"
#include "linux/platform/RegularFile.h"
#include "linux/settings/PosixFolderReader.h"
#include "settings/PictureFolders.h"

namespace lumi::settings {
namespace {

std::string bytesOf(const QString& name) {
    return platform::encodeFileName(name).toStdString();
}

QString nameOf(const std::string& bytes) {
    return platform::decodeFileName(QByteArray::fromStdString(bytes));
}

// pictureExtensions() in the core's form.
const std::vector<std::string>& extensionBytes() {
    static const std::vector<std::string> extensions = [] {
        std::vector<std::string> list;
        for (const QString& extension : pictureExtensions()) {
            list.push_back(extension.toStdString());
        }
        return list;
    }();
    return extensions;
}

QStringList namesOf(const std::vector<std::string>& paths) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(paths.size()));
    for (const std::string& path : paths) {
        names.append(nameOf(path));
    }
    return names;
}

}  // namespace

bool isFolderEntry(const QString& entry) {
    return settings::isFolderEntry(bytesOf(entry), PosixFolderReader());
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
    return settings::hasPictureExtension(bytesOf(name), extensionBytes());
}

bool naturalLess(const QString& left, const QString& right) {
    return settings::naturalLess(bytesOf(left), bytesOf(right));
}

QStringList expandFolder(const QString& folder) {
    return namesOf(settings::expandFolder(bytesOf(folder), PosixFolderReader(), extensionBytes()));
}

QStringList expandPictureList(const QStringList& entries) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(entries.size()));
    for (const QString& entry : entries) {
        paths.push_back(bytesOf(entry));
    }
    return namesOf(settings::expandPictureList(paths, PosixFolderReader(), extensionBytes()));
}

}  // namespace lumi::settings
