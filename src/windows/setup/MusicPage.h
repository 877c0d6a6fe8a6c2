// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/MidiPlayer.h"
#include "setup/SetupPages.h"
#include "windows/setup/SetupControls.h"
#include "windows/setup/SetupPlatform.h"

namespace lumi::setup {

// The "Music" page (Picture2): the music and tune flags, the tune tests on the page's own
// player, and the sound-off time.
class MusicPage final : public DialogPage {
public:
    // `store` and `player` outlive the page; `installDir` holds the tunes.
    MusicPage(platform::SettingsStore& store, platform::MidiPlayer& player, std::string installDir);

    // After create(): what the controls hold before anything loads.
    void prepare();
    // After the controls are placed for `dpi`: the page's own fonts, made for it.
    void setFonts(UINT dpi);

    void loadMusic();
    void loadSoundOff();

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void command(int id, int code);
    void chkMusic_Click();
    void chkMidi_Click(int Index);
    void cboSoundOff_Click();
    void cmdTest_Click(int Index);
    void Command1_Click();
    // Tells, once, why the tunes cannot be heard, as soon as the player knows.
    void checkSilence();
    // Puts the sound-off box over the run of spaces in its label.
    void placeSoundOffBox();

    MusicPageSettings settings_;
    platform::MidiPlayer& player_;
    std::string installDir_;
    WindowsMessageBoxes boxes_;
    bool silenceReported_ = false;
    display::FontHandle boldFont_;
};

}  // namespace lumi::setup
