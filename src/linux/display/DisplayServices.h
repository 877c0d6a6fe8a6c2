// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

#include "display/FitToScreen.h"
#include "display/frmMain.h"
#include "linux/platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/MidiPlayer.h"
#include "linux/platform/SessionLock.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"

namespace lumi::display {

// What the display form needs from outside. The start-up module fills it with the real
// platform; unit tests with fakes. The display owns none of these.
struct DisplayServices {
    platform::SettingsStore& settings;
    platform::Cursor& cursor;
    platform::WindowServices& windows;
    const platform::Clock& clock;
    platform::MidiPlayer& player;  // the display's own MIDI player
    QString installDir;            // the install folder, with its closing separator
    QSize screenSize;              // the area the display covers, in device pixels
    // Ends the process at once; no later step of the caller runs. Tests record the call.
    std::function<void()> endProcess;
    DisplayMode mode = DisplayMode::FullScreen;
    // How pictures larger than `screenSize` show; nothing: as the setting "FitLarge" says.
    std::optional<LargePictures> largePictures = std::nullopt;
    // Makes the lock of the session that the end of the full-screen display asks for when
    // "LockScreen" is 1; called at most once, from Form_Load(). Empty: the display never
    // locks (hosted displays, tests).
    std::function<std::unique_ptr<platform::SessionLock>()> makeSessionLock = nullptr;
    // The calendar strip and its caption are drawn at this fraction of their size, more than 0
    // and at most 1: a preview shows the display smaller than the screen, and its caption
    // shrinks with its pictures.
    double calendarScale = 1.0;
};

}  // namespace lumi::display
