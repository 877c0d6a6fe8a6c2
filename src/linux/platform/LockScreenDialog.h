// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "platform/SettingsStore.h"

class QCheckBox;
class QLabel;

namespace lumi::platform {

// The modal "Change Password" dialog of desktops whose own lock screen protects the session
// with the login password. It keeps no password: it says so, and offers the choice of
// "LockScreen" (the end of the screen saver asks the desktop to lock the session). The box
// shows the stored value; OK stores the box's state, Cancel stores nothing.
class LockScreenDialog final : public QDialog {
    Q_OBJECT

public:
    explicit LockScreenDialog(SettingsStore& settings, QWidget* parent = nullptr);

    void accept() override;

    QLabel* explanation = nullptr;
    QCheckBox* chkLockScreen = nullptr;

private:
    SettingsStore& settings_;
};

}  // namespace lumi::platform
