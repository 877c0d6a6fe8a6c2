// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace lumi::platform {

// The modal "Change Password" dialog of the screen-saver password. It only collects and
// checks what the user types; the owner of the stored password decides, through the two
// callbacks, whether an old password is right and where a new one goes.
//
// OK accepts the dialog only when the old password (if asked for) is right, both new
// entries agree and the new password was saved. Otherwise the dialog stays open, says
// why in its message line and clears the fields that must be typed again. An empty new
// password is allowed and means "no password".
//
// The typed passwords travel to the callbacks as UTF-8 and are wiped from the dialog's
// own buffers after each use; the fields are cleared when the dialog closes.
class PasswordDialog final : public QDialog {
    Q_OBJECT

public:
    // Answers whether `oldPassword` is the password stored now.
    using OldPasswordCheck = std::function<bool(const QByteArray& oldPassword)>;
    // Saves `newPassword` (empty: remove the password). Returns an empty string on
    // success, otherwise a sentence for the user saying why it could not be saved.
    using NewPasswordSave = std::function<QString(const QByteArray& newPassword)>;

    // `askOldPassword` adds the "Old password:" field; pass it when a password is stored.
    PasswordDialog(bool askOldPassword, OldPasswordCheck checkOld, NewPasswordSave saveNew,
                   QWidget* parent = nullptr);

    // Puts the dialog into a state where nothing can be changed: shows `reason`, disables
    // the fields and OK, and leaves only Cancel. Used when the stored password cannot be
    // read, so that it is never overwritten blindly.
    void refuseChanges(const QString& reason);

    void done(int result) override;

private:
    void tryAccept();
    void showMessage(const QString& text);
    QLineEdit* addPasswordField(const QString& objectName);

    OldPasswordCheck checkOld_;
    NewPasswordSave saveNew_;
    QLineEdit* oldPassword_ = nullptr;
    QLineEdit* newPassword_ = nullptr;
    QLineEdit* confirmPassword_ = nullptr;
    QLabel* message_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace lumi::platform
