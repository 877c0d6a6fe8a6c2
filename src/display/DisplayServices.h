#pragma once

#include <QSize>
#include <QString>

#include <functional>

#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/MidiPlayer.h"
#include "platform/SettingsStore.h"
#include "platform/WindowServices.h"

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
};

}  // namespace lumi::display
