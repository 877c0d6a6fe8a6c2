// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/LockScreenDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "settings/SettingKeys.h"

namespace lumi::platform {

LockScreenDialog::LockScreenDialog(SettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(tr("Change Password"));
    setModal(true);

    explanation = new QLabel(
        tr("Lumiscribe keeps no password of its own: the desktop's lock screen and your login "
           "password protect your session. With the box checked, the end of the screen saver "
           "asks the desktop to lock the screen, and only your login password unlocks it."),
        this);
    explanation->setWordWrap(true);

    chkLockScreen = new QCheckBox(tr("Lock the screen when the screen saver ends"), this);
    chkLockScreen->setChecked(
        settings::readInteger(settings_, "LockScreen", "0") == 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(chkLockScreen);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void LockScreenDialog::accept() {
    settings_.write("LockScreen", chkLockScreen->isChecked() ? "1" : "0");
    QDialog::accept();
}

}  // namespace lumi::platform
