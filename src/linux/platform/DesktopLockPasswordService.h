// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/platform/PasswordService.h"
#include "platform/SettingsStore.h"

namespace lumi::platform {

// The password service of Linux desktops, where the desktop's lock screen asks for the login
// password and Lumiscribe keeps none: the dialog explains this and offers "LockScreen". A
// password file left by an earlier version is neither read nor changed.
class DesktopLockPasswordService final : public PasswordService {
public:
    explicit DesktopLockPasswordService(SettingsStore& settings) : settings_(settings) {}

    // Runs LockScreenDialog modally over `owner` and returns when the user closes it. Any
    // provider other than "SCRSAVE" is not ours and is ignored.
    void changePassword(const QString& provider, QWidget* owner, int reserved1,
                        int reserved2) override;

private:
    SettingsStore& settings_;
};

}  // namespace lumi::platform
