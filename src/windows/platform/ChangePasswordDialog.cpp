// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/platform/ChangePasswordDialog.h"

#include "windows/resources/resource.h"

namespace lumi::platform {
namespace {

bool logonScreenOnResume() {
    BOOL secure = FALSE;
    return ::SystemParametersInfoW(SPI_GETSCREENSAVESECURE, 0, &secure, 0) && secure;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            ::CheckDlgButton(dialog, IDC_DISPLAY_LOGON,
                             logonScreenOnResume() ? BST_CHECKED : BST_UNCHECKED);
            // The owner never shows, so the dialog asks for the foreground itself.
            ::SetForegroundWindow(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_DISPLAY_LOGON:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        const BOOL secure =
                            ::IsDlgButtonChecked(dialog, IDC_DISPLAY_LOGON) == BST_CHECKED;
                        ::SystemParametersInfoW(SPI_SETSCREENSAVESECURE, secure, nullptr,
                                                SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
                    }
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    ::EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

void showChangePasswordDialog(HINSTANCE instance, HWND owner) {
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CHANGE_PASSWORD), owner, dialogProc, 0);
}

}  // namespace lumi::platform
