// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "setup/SessionSettingsStore.h"
#include "windows/music/WinmmMidiPlayer.h"
#include "windows/platform/RegistrySettingsStore.h"
#include "windows/setup/MorePage.h"
#include "windows/setup/MusicPage.h"
#include "windows/setup/OptionsPage.h"
#include "windows/setup/SetupControls.h"
#include "windows/setup/SetupPlatform.h"

namespace lumi::setup {

// The row of buttons below the tabs (Picture3), drawn on a pale yellow face; a click goes to
// `clicked` with the button's number.
class ButtonRow final : public DialogPage {
public:
    explicit ButtonRow(std::function<void(int id)> clicked) : clicked_(std::move(clicked)) {}
    void setFonts(UINT dpi);

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    std::function<void(int id)> clicked_;
    display::FontHandle boldFont_;
};

// The Setup dialog: the tab control (SSTab1) with the "Options", "Music" and "More" pages,
// the button row, and the dialog's life cycle. Every control stores its setting the moment it
// changes; closing writes nothing. Its own message loop makes it modal: run() returns when it
// closes.
class Setup final : public DialogPage {
public:
    explicit Setup(HINSTANCE instance);

    // Shows the dialog without an owner until it closes; false when it could not be made.
    bool run();

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    bool create();
    // Places the frame, the pages and every control for `dpi`, with fonts made for it.
    void layOut(UINT dpi);
    void applyFonts(UINT dpi);
    void addToolTips(UINT dpi);
    void showPage(int index);
    // Handles the keys that the dialog takes itself; true when `message` was taken.
    bool takeKey(const MSG& message);
    bool takeMnemonic(wchar_t letter);

    void Form_Load();
    void loadControls();
    void buttonClicked(int id);
    void cmdOK_Click();
    void cmdRestore_Click();
    void cmdHelp_Click();
    void cmdWebsite_Click();
    void cmdAbout_Click();
    void Navigate(const std::string& WebPageURL, bool localFile);
    void reportRefusedWrite(const std::string& reason);
    std::string helpPage() const;

    HINSTANCE instance_;
    std::string InstallDir;
    platform::RegistrySettingsStore registry_;
    SessionSettingsStore sessionStore_;
    WindowsPictureListFile listFile_;
    music::WinmmMidiPlayer TegoSnd1;
    WindowsMessageBoxes boxes_;
    WindowsFileQuery files_;
    OptionsPage Picture1;
    MusicPage Picture2;
    MorePage Picture4;
    ButtonRow Picture3;
    std::array<DialogPage*, 3> pages_{};
    HWND toolTips_ = nullptr;
    display::FontHandle dialogFont_;
    bool closed_ = false;
};

}  // namespace lumi::setup
