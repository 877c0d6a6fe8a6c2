// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include "linux/setup/QtSetupPlatform.h"
#include "linux/setup/SetupServices.h"
#include "setup/SetupPages.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lumi::setup {

// The "More" page of the Setup dialog: options beyond the display and the music. Like every
// control of the dialog, each stores its setting the moment its value changes.
//
// "IdleWait": after how many minutes without input the idle starter starts the screen saver
// (0: never). Under XScreenSaver the daemon's own timeout decides instead, which the page
// says in a line of its own.
//
// "FitLarge": 1 shrinks a picture larger than the screen to fit it. "Shuffle": 1 shows the
// pictures in a fresh random order each round. "PhotoDate": 1 shows the day each photo was
// taken.
//
// "LockScreen": 1 has the end of the full-screen display ask the desktop to lock the
// session; under XScreenSaver the daemon's own "Lock screen after" decides instead, which
// the page says beneath the box.
//
// "Add Lumiscribe to XScreenSaver" adds the saver's entry to the user's own list of
// XScreenSaver's savers (settings::addToXScreenSaver) and says in a message box what it did:
// the information box on success (also when the saver was listed already), the error box when
// the file could not be written. It stores no setting.
class MorePage final : public QWidget {
    Q_OBJECT

public:
    explicit MorePage(SetupServices& services, QWidget* parent = nullptr);

    void loadIdleWait();
    // "FitLarge" and "Shuffle".
    void loadPictureOptions();

    void spnIdleWait_Change();
    void chkFitLarge_Click();
    void chkShuffle_Click();
    void loadPhotoDate();
    void chkPhotoDate_Click();
    void cmdAddToXScreenSaver_Click();

    QLabel* lblIdleWait = nullptr;
    // Typed minutes are stored when typing ends (Enter, Tab, a click elsewhere); the arrows,
    // Page Up and Page Down and the wheel store each step.
    QSpinBox* spnIdleWait = nullptr;
    QLabel* lblIdleMinutes = nullptr;
    QLabel* lblIdleNote = nullptr;
    QCheckBox* chkFitLarge = nullptr;
    QCheckBox* chkShuffle = nullptr;
    QCheckBox* chkPhotoDate = nullptr;

    void loadLockScreen();
    void chkLockScreen_Click();
    QCheckBox* chkLockScreen = nullptr;
    QLabel* lblLockNote = nullptr;
    QLabel* lblXScreenSaver = nullptr;
    QPushButton* cmdAddToXScreenSaver = nullptr;

private:
    // Sets `box` to the loaded `state`; its handler stores it only when storable.
    void loadCheckBox(QCheckBox* box, const LoadedValue& state);

    SetupServices& services_;
    MorePageSettings settings_;
    QtMessageBoxes boxes_;
};

}  // namespace lumi::setup
