// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>

#include "linux/platform/IniSettingsStore.h"
#include "setup/SetupFixture.h"
#include "support/SmallDisk.h"

namespace lumi::setup {
namespace {

const QString kRefused =
    "error|Lumiscribe Screensaver|Your changes cannot be saved: %1. The "
    "screen saver goes on with the settings it had.";

// Every refused write is shown in the store's words, and the control then shows the value
// that is stored; Restore says in its own words that it did not restore.
TEST_F(SetupTest, EveryRefusedWriteIsShownAndTheControlKeepsTheStoredValue) {
    const auto dialog = openDialog();
    const int storedDelay = dialog->Picture1->hsbDelay->value();
    dialogs_.shown.clear();
    settings_.refusal = "the disk is full";
    dialog->Picture1->hsbDelay->setValue(40);
    EXPECT_EQ(dialog->Picture1->hsbDelay->value(), storedDelay);
    settings_.refusal = "the disk is read-only";
    const bool calendar = dialog->Picture1->chkCalendar->isChecked();
    click(dialog->Picture1->chkCalendar);
    EXPECT_EQ(dialog->Picture1->chkCalendar->isChecked(), calendar);
    EXPECT_EQ(dialogs_.shown, (QStringList{kRefused.arg("the disk is full"),
                                           kRefused.arg("the disk is read-only")}));

    dialogs_.shown.clear();
    click(dialog->Picture1->cmdRestore);
    dialog->Picture1->hsbDelay->setValue(12);
    EXPECT_EQ(dialogs_.shown,
              (QStringList{"error|Corvanta Lumiscribe|Settings have not been restored: the disk "
                           "is read-only.",
                           kRefused.arg("the disk is read-only")}));

    settings_.refusal.reset();
    dialogs_.shown.clear();
    click(dialog->Picture1->cmdRestore);
    EXPECT_EQ(dialogs_.shown,
              QStringList{"information|Corvanta Lumiscribe|Settings have been restored"});
}

// The real store on a full disk: the dialog says so at the first change, and the file keeps
// what it held.
TEST_F(SetupTest, AFullDiskIsShownWhenTheUserChangesASetting) {
    testing::SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    const QString file = disk.path() + "/Lumiscribe.ini";
    writeBytes(file, "[Config]\nSetReg=2\nDelay=30\n");
    disk.fill();
    platform::IniSettingsStore store(file);
    SetupDialog dialog(
        SetupServices{store, player_, dialogs_, shell_, installDir(), helpPage(), {}, {}});
    dialog.Form_Load();
    dialog.show();
    ::testing::internal::CaptureStderr();
    dialog.Picture1->hsbDelay->setValue(31);
    dialog.Picture1->hsbDelay->setValue(32);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(dialogs_.shown, QStringList(2, kRefused.arg("the disk is full")));
    EXPECT_EQ(dialog.Picture1->hsbDelay->value(), 30);
    EXPECT_EQ(testing::fileBytes(file), "[Config]\nSetReg=2\nDelay=30\n");
}

}  // namespace
}  // namespace lumi::setup
