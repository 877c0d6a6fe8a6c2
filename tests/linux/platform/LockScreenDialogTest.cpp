// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/LockScreenDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "support/Fakes.h"

namespace lumi::platform {
namespace {

using testing::FakeSettingsStore;

QPushButton* button(LockScreenDialog& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

TEST(LockScreenDialog, ExplainsThatTheDesktopProtectsTheSession) {
    FakeSettingsStore settings;
    LockScreenDialog dialog(settings);
    EXPECT_EQ(dialog.windowTitle(), "Change Password");
    EXPECT_EQ(dialog.chkLockScreen->text(), "Lock the screen when the screen saver ends");
    EXPECT_TRUE(dialog.explanation->text().contains("login password"));
    EXPECT_TRUE(dialog.explanation->text().contains("keeps no password"));
    EXPECT_TRUE(dialog.findChildren<QLineEdit*>().isEmpty()) << "a password field";
}

// The box shows what is stored (anything but 1 is unchecked); OK stores the box, also when
// it was not changed; Cancel and closing store nothing.
TEST(LockScreenDialog, OkStoresTheBoxAndCancelNothing) {
    struct Case {
        const char* stored;  // nullptr: nothing stored
        bool checkedAtStart;
        bool toggle;
        QDialogButtonBox::StandardButton close;
        QStringList writes;
    };
    const Case cases[] = {
        {nullptr, false, true, QDialogButtonBox::Ok, {"LockScreen=1"}},
        {"1", true, true, QDialogButtonBox::Ok, {"LockScreen=0"}},
        {"1", true, false, QDialogButtonBox::Ok, {"LockScreen=1"}},
        {"yes", false, false, QDialogButtonBox::Ok, {"LockScreen=0"}},
        {"0", false, true, QDialogButtonBox::Cancel, {}},
        {"1", true, true, QDialogButtonBox::Cancel, {}},
    };
    for (const Case& c : cases) {
        const char* what = c.stored != nullptr ? c.stored : "nothing";
        FakeSettingsStore settings;
        if (c.stored != nullptr) {
            settings.write("LockScreen", c.stored);
        }
        settings.writes.clear();
        LockScreenDialog dialog(settings);
        EXPECT_EQ(dialog.chkLockScreen->isChecked(), c.checkedAtStart) << what;
        if (c.toggle) {
            dialog.chkLockScreen->click();
        }
        EXPECT_EQ(settings.writes, QStringList{}) << "stored before OK";
        button(dialog, c.close)->click();
        EXPECT_EQ(settings.writes, c.writes) << what << " " << c.toggle;
        EXPECT_EQ(dialog.result(),
                  c.close == QDialogButtonBox::Ok ? QDialog::Accepted : QDialog::Rejected);
    }
}

}  // namespace
}  // namespace lumi::platform
