// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/PosixFolderReader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QDir>

#include <memory>

#include "linux/platform/RegularFile.h"

namespace lumi::settings {
namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

}  // namespace

std::optional<platform::FolderIdentity> PosixFolderReader::identify(const std::string& path) const {
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return platform::FolderIdentity{static_cast<std::uint64_t>(status.st_dev),
                                    static_cast<std::uint64_t>(status.st_ino)};
}

bool PosixFolderReader::list(
    const std::string& path,
    const std::function<void(const platform::FolderEntry& entry)>& onEntry) const {
    const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path.c_str()));
    if (!folder) {
        return false;
    }
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        // The entry's type comes with its name on most file systems; a link, or a file
        // system that does not give it, needs the status of what the name leads to.
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat status = {};
            const std::string full = join(path, name);
            if (::stat(full.c_str(), &status) != 0) {
                continue;  // a dangling link
            }
            type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR || type == DT_REG) {
            onEntry({name, type == DT_DIR, false});
        }
    }
    return true;
}

std::string PosixFolderReader::join(const std::string& folder, std::string_view name) const {
    const QString clean =
        QDir::cleanPath(platform::decodeFileName(QByteArray::fromStdString(folder)));
    std::string path = platform::encodeFileName(clean).toStdString();
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

}  // namespace lumi::settings
