// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

#include "linux/platform/RegularFile.h"
#include "platform/SettingsStore.h"
#include "settings/IniDocument.h"

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
// the reason. A file that cannot be read at all reads as empty, and so does one that is not a
// regular file (a pipe, a device, a folder) or does not answer within a second: no read or
// write waits on it longer, and one line on standard error says why.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString filePath);

    std::string read(std::string_view key, std::string_view defaultValue) const override;

    // Follows read(): true exactly when read() finds a stored value for the key.
    bool contains(std::string_view key) const override;

    // writeAll() of the one value.
    std::optional<std::string> write(std::string_view key, std::string_view value) override;

    // Creates the folder and the file when needed, and replaces the file once with every value
    // set, so that the file holds either all the old values or all the new ones. On failure
    // the file keeps its previous bytes and one line on standard error names the file and the
    // reason. A key that the file cannot hold (settings::IniDocument::isStorableKey()) is
    // refused the same way, and then nothing is written. The reason it returns on failure
    // names the disk's state where that is the cause ("the disk is full", "the disk is
    // read-only", "no permission to create files in folder …").
    std::optional<std::string> writeAll(const Values& values) override;

    const QString& filePath() const { return filePath_; }

    // Where the bytes of a damaged file are kept before it is rewritten: "<file>.damaged" for
    // the first damage, "<file>.damaged.<number>" from the second on.
    QString damagedCopyPath(int number = 1) const;

private:
    // writeAll(), with the reason of a refusal as the file's messages give it.
    std::optional<QString> replaceFile(const Values& values);

    // Keeps `bytes` as the damaged copy; the reason (and one line on standard error) when the
    // write must not go on. A copy that cannot be written whole is removed, and once one has
    // failed this store tries no more. Needs the write lock held.
    std::optional<QString> keepDamagedCopy(const QByteArray& bytes) const;

    // Takes the write lock, first removing a lock file that no live process holds; the
    // reason (and one line on standard error) when it cannot be had.
    std::optional<QString> lockForWriting(QLockFile& lock) const;

    // The settings as they are on disk now; a file that cannot be read holds none, and says
    // so once on standard error until it can be read again.
    settings::IniDocument loadDocument() const;

    QString filePath_;
    // Reads the file without blocking on a pipe or a mount that does not answer.
    mutable RegularFileReader reader_;
    mutable bool reportedUnreadable_ = false;           // by a read
    bool refusedUnreadable_ = false;                    // by a write
    mutable std::optional<QString> damagedCopyFailed_;  // why the damaged copy failed, once it has
};

}  // namespace lumi::platform
