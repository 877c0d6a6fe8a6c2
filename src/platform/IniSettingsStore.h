// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "platform/SettingsStore.h"

class QLockFile;

namespace lumi::platform {

// The per-user settings file: Lumiscribe.ini in the user's configuration folder
// (QStandardPaths::GenericConfigLocation).
QString defaultSettingsFile();

// The settings store kept in an INI file, section [Config] (see settings::IniDocument for
// the rules by which any bytes are read).
//
// Several processes (the display and the Setup dialog) and several store objects use the file
// at the same time, so every operation reads the file's current bytes once, afresh; nothing
// is remembered between calls. A write takes a lock file beside the settings file, reads the
// file, changes the one line and replaces the file as a whole, so that a reader sees either
// the old or the new file and writers take turns.
//
// A file with lines that cannot be read is still read (its other lines count) and written:
// the first write first keeps the file's bytes as they are in "<file>.damaged" beside it
// (Lumiscribe.ini.damaged), then writes the file without those lines, and says so in one line
// on standard error that names both files. A copy is never overwritten: when
// "<file>.damaged" already holds other bytes (an earlier damage that nobody has looked at),
// this one is kept as "<file>.damaged.2" (then .3 and so on), so that nothing of either damage
// is lost. A write is refused only when the file, its copy or its folder cannot be written or
// the file cannot be read; then the file keeps its bytes and one line on standard error gives
// the reason. A file that cannot be read at all reads as empty.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString filePath);

    QString read(const QString& key, const QString& defaultValue) const override;

    // Follows read(): true exactly when read() finds a stored value for the key.
    bool contains(const QString& key) const override;

    // Creates the folder and the file when needed. On failure the file keeps its previous
    // bytes and one line on standard error names the file and the reason. A key that the
    // file cannot hold (settings::IniDocument::isStorableKey()) is refused the same way.
    void write(const QString& key, const QString& value) override;

    const QString& filePath() const { return filePath_; }

    // Where the bytes of a damaged file are kept before it is rewritten: "<file>.damaged" for
    // the first damage, "<file>.damaged.<number>" from the second on.
    QString damagedCopyPath(int number = 1) const;

private:
    // Keeps `bytes` as the damaged copy; false (and one line on standard error) when the write
    // must not go on. Needs the write lock held.
    bool keepDamagedCopy(const QByteArray& bytes) const;

    // Takes the write lock; false (and one line on standard error) when it cannot be had.
    bool lockForWriting(QLockFile& lock) const;

    QString filePath_;
};

}  // namespace lumi::platform
