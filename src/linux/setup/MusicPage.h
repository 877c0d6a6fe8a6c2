// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>

#include <string>

#include "linux/setup/QtSetupPlatform.h"
#include "linux/setup/SetupServices.h"
#include "setup/SetupPages.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace lumi::setup {

// The "Music" page of the Setup dialog: music on or off, the ten tunes with a test button
// each, the key help, and the time after which the music stops. Each choice is stored the
// moment it changes; the test buttons play a tune through the page's player.
//
// The dialog loads the page in two steps (loadMusic(), loadSoundOff()), interleaved with
// the other pages, so that the whole dialog loads its values in one fixed order.
class MusicPage final : public QWidget {
    Q_OBJECT

public:
    explicit MusicPage(SetupServices& services, QWidget* parent = nullptr);

    // "Music" and the ten tune flags.
    void loadMusic();
    // "SoundOff", shown as the display reads it: "Never" for 0 and for a value that does not
    // convert, otherwise the whole minutes; loading stores nothing.
    void loadSoundOff();

    void chkMusic_Click();
    void chkMidi_Click(int Index);
    void cboSoundOff_Click();
    // Plays the tune. The first time the player turns out unable to sound at all, a message
    // box says so with the reason; a player that learns it only while the tune starts is
    // watched from the event loop until it knows or the tune is over.
    void cmdTest_Click(int Index);
    void Command1_Click();

    QCheckBox* chkMusic = nullptr;
    std::array<QCheckBox*, 10> chkMidi{};
    std::array<QPushButton*, 10> cmdTest{};
    QFrame* Line1 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 4> Label19to22{};
    QLabel* Label46 = nullptr;
    QComboBox* cboSoundOff = nullptr;

private:
    void build();
    void connectHandlers();

    // Sets `box` to the loaded `state`; its handler stores it only when storable.
    void loadCheckBox(QCheckBox* box, const LoadedValue& state);

    // Shows the player's silence reason once, when there is one; stops the watch when it has
    // nothing more to learn.
    void checkSilence();

    SetupServices& services_;
    MusicPageSettings settings_;
    QtMessageBoxes boxes_;
    QTimer silenceWatch_;
    bool silenceReported_ = false;
};

}  // namespace lumi::setup
