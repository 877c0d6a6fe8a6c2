// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <functional>

namespace lumi::idle {

// Calls `changed` from the event loop whenever the settings file may have changed: written
// in place, replaced by a rename (as the settings store writes it), created or removed. It
// watches the file and the folder that holds it; the folder must exist when the watch
// begins. Other files changing in that folder call `changed` too, so the caller compares
// what it reads with what it had.
class SettingsWatch final : public QObject {
    Q_OBJECT
public:
    SettingsWatch(const QString& filePath, std::function<void()> changed);

private:
    void onChange();

    QString filePath_;
    std::function<void()> changed_;
    QFileSystemWatcher watcher_;
};

}  // namespace lumi::idle
