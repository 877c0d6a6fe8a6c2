// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "platform/MidiPlayer.h"
#include "platform/SettingsStore.h"
#include "linux/platform/Shell.h"
#include "linux/setup/SetupDialogs.h"

namespace lumi::setup {

// What the Setup dialog needs from outside. The start-up module fills it with the real
// platform, unit tests with fakes. The dialog owns none of these; each outlives it.
struct SetupServices {
    platform::SettingsStore& settings;
    platform::MidiPlayer& player;  // the music page's own player, for the test buttons
    SetupDialogs& dialogs;         // message boxes and the open-file dialog
    platform::Shell& shell;        // opens the help page and the web site in a browser
    QString installDir;            // the install folder, with its closing separator
    QString helpPage;              // the path of the help page that ships with the program
    // Where "Add Lumiscribe to XScreenSaver" adds the saver: the user's XScreenSaver file and
    // the command that its entry runs (see settings::addToXScreenSaver).
    QString xscreensaverFile;
    QString hostedDisplayCommand;
};

}  // namespace lumi::setup
