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

// A refused write is shown once per session, in the store's words; Restore says it did not
// restore. A new session reports again.
TEST_F(SetupTest, TheFirstRefusedWriteOfASessionIsShownOnce) {
    const auto dialog = openDialog();
    dialogs_.shown.clear();
    settings_.refusal = "the disk is full";
    dialog->Picture1->hsbDelay->setValue(40);
    dialog->Picture1->hsbDelay->setValue(41);
    click(dialog->Picture1->chkCalendar);
    EXPECT_EQ(settings_.refusedWrites.size(), 3) << settings_.refusedWrites.join(" ").toStdString();
    EXPECT_EQ(dialogs_.shown, QStringList{kRefused.arg("the disk is full")});

    dialogs_.shown.clear();
    click(dialog->Picture1->cmdRestore);
    EXPECT_EQ(dialogs_.shown, QStringList{"error|Corvanta Lumiscribe|Settings have not been "
                                          "restored: the disk is full."});

    settings_.refusal.reset();
    dialogs_.shown.clear();
    click(dialog->Picture1->cmdRestore);
    EXPECT_EQ(dialogs_.shown,
              QStringList{"information|Corvanta Lumiscribe|Settings have been restored"});

    // Restore's own refusal counts as the session's message too.
    const auto another = openDialog();
    settings_.refusal = "the disk is read-only";
    dialogs_.shown.clear();
    click(another->Picture1->cmdRestore);
    another->Picture1->hsbDelay->setValue(12);
    EXPECT_EQ(dialogs_.shown, QStringList{"error|Corvanta Lumiscribe|Settings have not been "
                                          "restored: the disk is read-only."});
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
    EXPECT_EQ(dialogs_.shown, QStringList{kRefused.arg("the disk is full")});
    EXPECT_EQ(testing::fileBytes(file), "[Config]\nSetReg=2\nDelay=30\n");
}

}  // namespace
}  // namespace lumi::setup
