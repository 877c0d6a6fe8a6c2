// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string.h>

namespace lumi::platform {

namespace {

// The text of a password field as UTF-8, in a buffer the caller wipes with wipe().
QByteArray passwordBytes(const QLineEdit* field) {
    return field == nullptr ? QByteArray() : field->text().toUtf8();
}

// Overwrites a buffer that held a password before it is freed. The detach in data() is
// harmless: passwordBytes() returns an unshared buffer.
void wipe(QByteArray& bytes) {
    if (!bytes.isEmpty()) {
        explicit_bzero(bytes.data(), static_cast<size_t>(bytes.size()));
    }
    bytes.clear();
}

}  // namespace

PasswordDialog::PasswordDialog(bool askOldPassword, OldPasswordCheck checkOld,
                               NewPasswordSave saveNew, QWidget* parent)
    : QDialog(parent), checkOld_(std::move(checkOld)), saveNew_(std::move(saveNew)) {
    setWindowTitle(tr("Change Password"));
    setModal(true);

    auto* form = new QFormLayout;
    if (askOldPassword) {
        oldPassword_ = addPasswordField(QStringLiteral("oldPassword"));
        form->addRow(tr("Old password:"), oldPassword_);
    }
    newPassword_ = addPasswordField(QStringLiteral("newPassword"));
    form->addRow(tr("New password:"), newPassword_);
    confirmPassword_ = addPasswordField(QStringLiteral("confirmPassword"));
    form->addRow(tr("Confirm new password:"), confirmPassword_);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setVisible(false);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &PasswordDialog::tryAccept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* PasswordDialog::addPasswordField(const QString& objectName) {
    auto* field = new QLineEdit(this);
    field->setObjectName(objectName);
    field->setEchoMode(QLineEdit::Password);
    return field;
}

void PasswordDialog::refuseChanges(const QString& reason) {
    for (QLineEdit* field : {oldPassword_, newPassword_, confirmPassword_}) {
        if (field != nullptr) {
            field->setEnabled(false);
        }
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    buttons_->button(QDialogButtonBox::Cancel)->setFocus();
    showMessage(reason);
}

void PasswordDialog::showMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
}

void PasswordDialog::tryAccept() {
    if (!buttons_->button(QDialogButtonBox::Ok)->isEnabled()) {
        return;
    }
    if (oldPassword_ != nullptr) {
        QByteArray old = passwordBytes(oldPassword_);
        const bool right = checkOld_ && checkOld_(old);
        wipe(old);
        if (!right) {
            showMessage(tr("The old password is not correct. Please type it again."));
            oldPassword_->clear();
            oldPassword_->setFocus();
            return;
        }
    }
    QByteArray fresh = passwordBytes(newPassword_);
    QByteArray confirmation = passwordBytes(confirmPassword_);
    const bool same = fresh == confirmation;
    wipe(confirmation);
    if (!same) {
        wipe(fresh);
        showMessage(tr("The new password and its confirmation differ. Please type both again."));
        newPassword_->clear();
        confirmPassword_->clear();
        newPassword_->setFocus();
        return;
    }
    const QString problem = saveNew_ ? saveNew_(fresh) : tr("The password cannot be saved.");
    wipe(fresh);
    if (!problem.isEmpty()) {
        showMessage(problem);
        return;
    }
    accept();
}

void PasswordDialog::done(int result) {
    // QLineEdit keeps its text until cleared; do not leave passwords behind in a closed
    // dialog that its owner may keep alive.
    for (QLineEdit* field : {oldPassword_, newPassword_, confirmPassword_}) {
        if (field != nullptr) {
            field->clear();
        }
    }
    QDialog::done(result);
}

}  // namespace lumi::platform
