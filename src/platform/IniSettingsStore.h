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
// Each line is judged on its own: a line that is neither blank, a ";" comment, a section
// header nor "key=value", or that is not UTF-8 text, does not parse. Reads leave such lines
// out and read the others as usual; a section header that lacks only its closing bracket is
// read as closed. The first write to a file with such lines first keeps the file's bytes
// as they are in "<file>.damaged" beside it (Lumiscribe.ini.damaged), then writes a clean
// file with every line that parses, and says so in one line on standard error that names
// both files. A copy is never overwritten: when "<file>.damaged" already holds other bytes
// (an earlier damage that nobody has looked at), this one is kept as "<file>.damaged.2"
// (then .3 and so on), so that nothing of either damage is lost. A file that cannot be read at all
// reads as empty and is never replaced. Comments do not survive a write: QSettings drops them.
//
// A value written by hand with commas (a = x, y) is split into a list by QSettings; it reads
// back as its parts joined with ", ". Values written by this store never split.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString filePath);

    QString read(const QString& key, const QString& defaultValue) const override;

    // Follows read(): true exactly when read() finds a stored value for the key.
    bool contains(const QString& key) const override;

    // Creates the folder and the file when needed. On failure the file keeps its previous
    // bytes and one line on standard error names the file and the reason.
    void write(const QString& key, const QString& value) override;

    const QString& filePath() const { return filePath_; }

    // Where the bytes of a damaged file are kept before it is rewritten: "<file>.damaged" for
    // the first damage, "<file>.damaged.<number>" from the second on.
    QString damagedCopyPath(int number = 1) const;

private:
    // Keeps `bytes` as the damaged copy; false (and one line on standard error) when the write
    // must not go on. Needs the write lock held.
    bool keepDamagedCopy(const QByteArray& bytes) const;

    QString filePath_;
};

}  // namespace lumi::platform
