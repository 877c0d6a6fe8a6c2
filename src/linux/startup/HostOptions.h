// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "linux/platform/WindowServices.h"
#include "linux/startup/ProgramInfo.h"

namespace lumi::startup {

// Where the hosted display of lumiscribe-xscreensaver draws, as its host program asks:
// "-root" (or "--root") with the window named in the environment variable
// XSCREENSAVER_WINDOW, or "-window-id ID" (or "--window-id ID", "--window-id=ID"), which
// wins when both are given. An ID is hexadecimal with "0x" or decimal. "--help" or
// "--version" (also with one dash) anywhere asks for that text instead, whatever else is given.
// "--add-to-xscreensaver" (also with one dash) asks to add the saver to the user's list of
// XScreenSaver's savers instead of drawing; help and version win over it.
struct HostOptions {
    enum class Target {
        OwnWindow,    // no host named: a window of our own, as for a trial run
        WholeScreen,  // "-root" without a window named in the environment
        HostWindow,   // draw inside `window`
    };

    Target target = Target::OwnWindow;
    platform::NativeWindow window = 0;
    // The window was named by "-window-id": a settings program's small preview of the saver,
    // as opposed to the daemon's own window ("-root" with XSCREENSAVER_WINDOW). The preview
    // shrinks large pictures to fit, whatever "FitLarge" says, and plays no music.
    bool preview = false;
    QString error;  // an argument that could not be used; empty when all were fine
    InfoRequest info = InfoRequest::None;  // when not None, print that text and run nothing
    bool addToXScreenSaver = false;        // when true (and no info), add the entry and end
};

// Reads the arguments (without the program name) and the value of XSCREENSAVER_WINDOW
// (empty when it is not set).
HostOptions parseHostOptions(const QStringList& arguments, const QString& environmentWindow);

// A window ID in hexadecimal with "0x" or in decimal; nothing when the text is neither.
std::optional<platform::NativeWindow> parseWindowId(const QString& text);

}  // namespace lumi::startup
