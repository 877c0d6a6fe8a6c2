// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/platform/ChangePasswordDialog.h"

#include <string_view>

#include "windows/resources/resource.h"

namespace lumi::platform {
namespace {

// Windows keeps the choice as the text "1" or "0" in this value, which SystemParametersInfo
// reads and writes. A system whose SystemParametersInfo refuses the screen-saver-secure
// actions (Wine) gets the value itself, so that the choice still reaches the session's store.
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kSecureValue[] = L"ScreenSaverIsSecure";

}  // namespace

bool logonScreenOnResume() {
    BOOL secure = FALSE;
    if (::SystemParametersInfoW(SPI_GETSCREENSAVESECURE, 0, &secure, 0)) {
        return secure;
    }
    wchar_t text[8] = L"";
    DWORD size = sizeof text;
    return ::RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kSecureValue, RRF_RT_REG_SZ, nullptr,
                          text, &size) == ERROR_SUCCESS &&
           text == std::wstring_view(L"1");
}

void setLogonScreenOnResume(bool secure) {
    if (::SystemParametersInfoW(SPI_SETSCREENSAVESECURE, secure, nullptr,
                                SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
        return;
    }
    const wchar_t* text = secure ? L"1" : L"0";
    if (::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kSecureValue, REG_SZ, text,
                          2 * sizeof(wchar_t)) == ERROR_SUCCESS) {
        ::SendNotifyMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETSCREENSAVESECURE, 0);
    }
}

namespace {

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
                        setLogonScreenOnResume(::IsDlgButtonChecked(dialog, IDC_DISPLAY_LOGON) ==
                                               BST_CHECKED);
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
