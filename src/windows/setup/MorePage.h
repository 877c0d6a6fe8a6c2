// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "setup/SetupPages.h"
#include "windows/setup/SetupControls.h"

namespace lumi::setup {

// The "More" page (Picture4): how pictures are fitted, ordered and dated, and Windows' own
// "On resume, display logon screen", which the system keeps rather than the settings.
class MorePage final : public DialogPage {
public:
    // `store` outlives the page.
    explicit MorePage(platform::SettingsStore& store) : settings_(store) {}

    void loadPictureOptions();
    void loadLogonScreen();

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void chkFitLarge_Click();
    void chkShuffle_Click();
    void chkPhotoDate_Click();
    void chkLockScreen_Click();

    MorePageSettings settings_;
};

}  // namespace lumi::setup
