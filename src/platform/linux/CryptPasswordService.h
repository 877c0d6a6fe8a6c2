// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "platform/PasswordService.h"

namespace lumi::platform {

// Where the screen-saver password hash lives unless told otherwise:
// <generic config folder>/Lumiscribe.password.
QString defaultPasswordFile();

// One-way hash of `plain` in the yescrypt form "$y$...", with a fresh random salt from the
// system. Empty if the library fails or `plain` holds a NUL byte (which would silently
// shorten the password).
std::optional<QByteArray> hashPassword(const QByteArray& plain);

// True if `plain` hashes to `hash` under the settings stored in `hash`. The comparison
// takes the same time wherever the results differ. A malformed hash matches nothing.
bool verifyPassword(const QByteArray& plain, const QByteArray& hash);

// What a password file holds, as far as the screen saver is concerned.
struct StoredPassword {
    enum class Status {
        None,      // no file: no password is set
        Hash,      // `hash` is the stored hash
        Unusable,  // the file exists but cannot be read or is damaged; see `problem`
    };
    Status status = Status::None;
    QByteArray hash;
    QString problem;  // one sentence for the user; empty unless Unusable
};

// Reads the password file at `path`. Only a missing file means "no password": a file that
// exists but cannot be read, or does not hold exactly one hash line, is Unusable, so that
// a damaged file never silently unlocks the screen saver or gets overwritten.
StoredPassword loadHash(const QString& path);

// Replaces the file at `path` with `hash` and a newline, atomically: a temporary file in
// the same folder, created with mode 0600 so that no other user can ever open it, is
// written, flushed to disk and renamed over `path`. On failure `path` is left as it was
// and the temporary file is removed. Creates the folder if needed.
bool storeHash(const QString& path, const QByteArray& hash);

// Removes the password file at `path`, meaning "no password". True if it is gone.
bool removeHash(const QString& path);

// The password service of Linux desktops: keeps a yescrypt hash of the screen-saver
// password in a file readable by its owner only, and changes it through PasswordDialog.
class CryptPasswordService final : public PasswordService {
public:
    explicit CryptPasswordService(QString passwordFile = defaultPasswordFile());

    // Runs the dialog modally over `owner` and returns when the user closes it. Any
    // provider other than "SCRSAVE" is not ours and is ignored.
    void changePassword(const QString& provider, QWidget* owner, int reserved1,
                        int reserved2) override;

    const QString& passwordFile() const { return passwordFile_; }

private:
    QString passwordFile_;
};

}  // namespace lumi::platform
