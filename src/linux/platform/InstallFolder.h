// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::platform {

// The fixed install folder that holds "List.txt", the tunes "1.mid" to "10.mid",
// "default.jpg" and "bg.jpg", with its closing separator. On Linux it is
// Corvanta/Lumiscribe/ in the XDG data folder; nothing else configures it.
QString installDir();

// The folder of the tunes and pictures shipped with the program, with its closing separator:
// share/lumiscribe/ of the installation that holds the running executable, found relative to
// the executable so that any install prefix works. Needs the application object. The folder
// need not exist (a program started from its build folder has none).
QString shippedFilesDir();

// The help page that ships with the program, share/doc/lumiscribe/help.html of the
// installation that holds the running executable (a build folder holds a copy at the same
// place relative to its executable). Needs the application object. The file need not exist.
QString helpPagePath();

// The per-user file of XScreenSaver, ~/.xscreensaver in the home folder that HOME names (where
// XScreenSaver itself looks for it).
QString xscreensaverUserFile();

// How an entry of XScreenSaver's list of savers names lumiscribe-xscreensaver of the
// installation that holds the running executable: its plain name when the search path finds
// that very program (an installed package), otherwise its absolute path (a build folder).
// Needs the application object.
QString hostedDisplayCommand();

}  // namespace lumi::platform
