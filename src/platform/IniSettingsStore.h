#pragma once

#include <QString>

#include "platform/SettingsStore.h"

namespace lumi::platform {

// The per-user settings file: Lumiscribe.ini in the user's configuration folder
// (QStandardPaths::GenericConfigLocation).
QString defaultSettingsFile();

// The settings store kept in an INI file, section [Config], read and written with QSettings.
//
// Several processes (the display and the Setup dialog) and several store objects use the file
// at the same time, so every operation parses the file's current bytes afresh; nothing is
// remembered between calls. QSettings itself would keep a parsed copy per file for the life
// of the process and decide whether to parse again by the file's size and modification time,
// which misses a change of the same length within the same clock tick. Each operation
// therefore lets QSettings parse a private copy of the file, and a write replaces the real
// file as a whole with the modified copy.
//
// A damaged file is one that QSettings cannot parse completely (a line that is neither a
// section header, a "key=value" line, a ";" comment nor blank; a section header without its
// closing bracket; binary garbage), one that cannot be read, or one that is not UTF-8 text
// (QSettings would silently truncate a value in another encoding). A damaged file reads as
// empty, and a write to it is refused with one line on standard error, so that it keeps its
// bytes for whoever repairs it. Comments do not survive a write: QSettings drops them.
//
// A value written by hand with commas (a = x, y) is split into a list by QSettings; it reads
// back as its parts joined with ", ". Values written by this store never split.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString filePath);

    QString read(const QString& key, const QString& defaultValue) const override;

    // Follows read(): a damaged or unreadable file holds no value.
    bool contains(const QString& key) const override;

    // Creates the folder and the file when needed. On failure the file keeps its previous
    // bytes and one line on standard error names the file and the reason.
    void write(const QString& key, const QString& value) override;

    const QString& filePath() const { return filePath_; }

private:
    QString filePath_;
};

}  // namespace lumi::platform
