// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include <functional>
#include <memory>

#include "linux/display/DisplayWindow.h"
#include "linux/platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/MidiPlayer.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"
#include "linux/startup/HostOptions.h"

namespace lumi::startup {

// The scale at which a preview of `preview` pixels shows a screen of `screen` pixels: the
// smaller of the two ratios of width and height, at most 1.
double previewScale(QSize preview, QSize screen);

// The full display (settings, picture list, laser painting, background, calendar, music)
// running inside a window that a host program gave it, at that window's size, for a screen
// saver daemon that starts its savers as programs of their own. The host owns the cursor and
// the input and ends the process; nothing here refuses a second instance or marks the
// screen saver as running. In a preview (HostOptions::preview) every picture larger than the
// window is shrunk to fit it, whatever "FitLarge" says, and the calendar caption is drawn at
// the scale of the window to the screen (previewScale()); the caller gives it a silent player.
class HostedDisplay {
public:
    struct Services {
        platform::WindowServices& windows;
        platform::SettingsStore& settings;
        const platform::Clock& clock;
        platform::MidiPlayer& player;
        QString installDir;
        std::function<void()> quit;  // ends the event loop
    };

    explicit HostedDisplay(Services services);
    ~HostedDisplay();

    // Shows the display where `options` say. False when the host window does not exist.
    bool start(const HostOptions& options);

    display::DisplayWindow* form() const { return form_.get(); }

private:
    // The host owns the cursor: hiding and showing it is not the hosted display's business.
    class HostCursor final : public platform::Cursor {
    public:
        int showCursor(bool) override { return 0; }
    };

    std::unique_ptr<display::DisplayWindow> makeForm(QSize size, bool preview);
    void watchHost(platform::NativeWindow host);

    Services services_;
    HostCursor cursor_;
    std::unique_ptr<display::DisplayWindow> form_;
    QTimer hostWatch_;
};

}  // namespace lumi::startup
