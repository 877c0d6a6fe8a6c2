// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"
#include "setup/PictureListEditor.h"
#include "setup/SetupPages.h"
#include "windows/setup/SetupControls.h"
#include "windows/setup/SetupPlatform.h"

namespace lumi::setup {

// The "Options" page (Picture1): the picture list editor, the delay, the mouse sensitivity,
// the background and the calendar, and Restore Settings, whose click the dialog handles.
class OptionsPage final : public DialogPage {
public:
    // `store` and `list` outlive the page.
    OptionsPage(platform::SettingsStore& store, platform::PictureListFile& list);

    // After create(): what the controls hold before anything loads.
    void prepare();
    // After the controls are placed for `dpi`: the page's own fonts, made for it.
    void setFonts(UINT dpi);

    // Restore Settings, which the dialog handles, runs `restore`.
    void setRestore(std::function<void()> restore) { restore_ = std::move(restore); }

    void loadPictureList();
    void loadDisplayOptions();
    void loadCalendar();
    int listCount() const;

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void command(int id, int code);
    void scrolled(HWND bar, WORD request);

    void CmdAdd_Click();
    void cmdAddFolder_Click();
    void CmdDelete_Click();
    void cmdClear_Click();
    void addPaths(const std::vector<std::string>& paths);
    void hsbDelay_Change();
    void hsbMouseS_Change();
    void OptBG_Click(int Index);
    void cmdAddBG_Click();
    void chkCalendar_Click();

    // Moves a bar to `value` as a user would: its handler runs when the value changes.
    void setBar(int id, int value);
    void checkBackground(int index);
    PictureListView shownView() const;
    void showView(const std::optional<PictureListView>& view);

    platform::SettingsStore& store_;
    OptionsPageSettings settings_;
    WindowsMessageBoxes boxes_;
    WindowsFileQuery files_;
    PictureListEditor editor_;
    std::vector<std::string> entries_;  // what List1 shows, as the list holds it
    display::FontHandle listFont_, countFont_, endsFont_;
    HBRUSH navy_ = nullptr;
    std::function<void()> restore_;
};

}  // namespace lumi::setup
