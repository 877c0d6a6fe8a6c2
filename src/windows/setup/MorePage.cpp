// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/MorePage.h"

#include "windows/platform/ChangePasswordDialog.h"
#include "windows/resources/resource.h"

namespace lumi::setup {

void MorePage::loadPictureOptions() {
    loadCheckBox(settings_, item(IDC_CHKFITLARGE), settings_.loadFitLarge(),
                 [this] { chkFitLarge_Click(); });
    loadCheckBox(settings_, item(IDC_CHKSHUFFLE), settings_.loadShuffle(),
                 [this] { chkShuffle_Click(); });
    setChecked(item(IDC_CHKPHOTODATE), settings_.loadPhotoDate());
}

void MorePage::loadLogonScreen() {
    setChecked(item(IDC_CHKLOCKSCREEN), platform::logonScreenOnResume());
}

bool MorePage::handle(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR& /*result*/) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
        return false;
    }
    switch (LOWORD(wParam)) {
        case IDC_CHKFITLARGE: chkFitLarge_Click(); break;
        case IDC_CHKSHUFFLE: chkShuffle_Click(); break;
        case IDC_CHKPHOTODATE: chkPhotoDate_Click(); break;
        case IDC_CHKLOCKSCREEN: chkLockScreen_Click(); break;
        default: return false;
    }
    return true;
}

void MorePage::chkFitLarge_Click() {
    settings_.fitLargeClicked(isChecked(item(IDC_CHKFITLARGE)));
}

void MorePage::chkShuffle_Click() {
    settings_.shuffleClicked(isChecked(item(IDC_CHKSHUFFLE)));
}

void MorePage::chkPhotoDate_Click() {
    settings_.photoDateClicked(isChecked(item(IDC_CHKPHOTODATE)));
}

void MorePage::chkLockScreen_Click() {
    platform::setLogonScreenOnResume(isChecked(item(IDC_CHKLOCKSCREEN)));
}

}  // namespace lumi::setup
