// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/idle/SettingsWatch.h"

#include <QFileInfo>

namespace lumi::idle {

SettingsWatch::SettingsWatch(const QString& filePath, std::function<void()> changed)
    : filePath_(filePath), changed_(std::move(changed)) {
    watcher_.addPath(QFileInfo(filePath_).absolutePath());
    if (QFileInfo::exists(filePath_)) {
        watcher_.addPath(filePath_);
    }
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SettingsWatch::onChange);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SettingsWatch::onChange);
}

void SettingsWatch::onChange() {
    // A file replaced by a rename is a new file: the watch of the old one has ended.
    if (!watcher_.files().contains(filePath_) && QFileInfo::exists(filePath_)) {
        watcher_.addPath(filePath_);
    }
    changed_();
}

}  // namespace lumi::idle
