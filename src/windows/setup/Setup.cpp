// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/Setup.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "settings/SettingKeys.h"
#include "setup/SetupLifeCycle.h"
#include "setup/SetupMessages.h"
#include "windows/platform/InstallFolder.h"
#include "windows/platform/Utf16.h"
#include "windows/resources/resource.h"
#include "windows/settings/PictureListFile.h"
#include "windows/setup/SetupLibraries.h"

namespace lumi::setup {
namespace {

// This edition has no idle starter and no session lock of its own: Windows starts the
// screen saver and locks the session.
constexpr settings::KeyUses kWindowsKeyUses = 0;
constexpr int kTabs = 3;
constexpr std::array<const wchar_t*, kTabs> kTabNames{L"Options", L"Music", L"More"};
// The frame's client area and the button row, in pixels at 96 dpi.
constexpr SIZE kClientSize{604, 455};
constexpr RECT kButtonRow{0, 407, 604, 455};
// The pages' area, inside the tab control below its row of tabs. It grows with the DPI like
// every control: the tab control's own display area (TCM_ADJUSTRECT) has margins of fixed
// pixels and a row of tabs as high as its font, and would shift the pages against the rest of
// the dialog at any other DPI.
constexpr RECT kPageArea{8, 25, 597, 407};
constexpr int kToolTipWidth = 400;

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t className[32] = L"";
    ::GetClassNameW(window, className, 32);
    return ::lstrcmpiW(className, name) == 0;
}

bool isPushButton(HWND window) {
    if (window == nullptr || !hasClass(window, L"Button")) {
        return false;
    }
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

// True when `focus` is a drop-down box, or its text, whose list is open.
bool inOpenDropDown(HWND focus) {
    for (HWND window = focus; window != nullptr; window = ::GetParent(window)) {
        if (hasClass(window, L"ComboBox")) {
            return ::SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        }
    }
    return false;
}

// The controls under `root` that the user can reach now, in the order of the Tab key.
std::vector<HWND> reachableControls(HWND root) {
    std::vector<HWND> controls;
    ::EnumChildWindows(
        root,
        [](HWND window, LPARAM found) -> BOOL {
            if (::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
                (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    return controls;
}

// Tells Windows not to lay out `dialog` again for a new DPI, which it would do in dialog
// units: the dialog places its controls itself (Setup::layOut). Windows before 10 version
// 1703 and Wine lack the call and never do it.
void keepOwnLayoutOnDpiChange(HWND dialog) {
    using SetBehaviour = BOOL(WINAPI*)(HWND, int, int);
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto set = reinterpret_cast<SetBehaviour>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
    if (set != nullptr) {
        set(dialog, kDisableAll, kDisableAll);
    }
}

}  // namespace

// ---- The button row ----

void ButtonRow::setFonts(UINT dpi) {
    boldFont_ = makeFont(L"Arial", 825, true, dpi);
    for (int id : {IDC_CMDOK, IDC_CMDHELP}) {
        ::SendMessageW(item(id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
    }
}

bool ButtonRow::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& /*result*/) {
    switch (message) {
        case WM_DRAWITEM:
            drawYellowButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return true;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                clicked_(LOWORD(wParam));
            }
            return true;
        default:
            return false;
    }
}

// ---- The dialog ----

Setup::Setup(HINSTANCE instance)
    : instance_(instance),
      InstallDir(platform::toUtf8(platform::kInstallDir)),
      sessionStore_(
          registry_, [this](const std::string& reason) { reportRefusedWrite(reason); },
          [this] { loadControls(); }),
      listFile_(settings::pictureListPath(InstallDir)),
      Picture1(sessionStore_, listFile_),
      Picture2(sessionStore_, TegoSnd1, InstallDir),
      Picture4(sessionStore_),
      Picture3([this](int id) { buttonClicked(id); }) {}

bool Setup::run() {
    if (!create()) {
        return false;
    }
    Form_Load();
    ::ShowWindow(window(), SW_SHOWNORMAL);
    // Started by Screen Saver Settings or from the Start menu, the dialog comes to the front.
    ::SetForegroundWindow(window());
    MSG message{};
    while (!closed_ && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (takeKey(message) || ::IsDialogMessageW(window(), &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
    }
    ::ShowWindow(window(), SW_HIDE);
    return true;
}

bool Setup::create() {
    if (!DialogPage::create(instance_, IDD_SETUP, nullptr)) {
        return false;
    }
    boxes_.setOwner(window());
    HWND tabs = item(IDC_SSTAB1);
    for (int i = 0; i < kTabs; ++i) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(kTabNames[static_cast<std::size_t>(i)]);
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&tab));
    }
    pages_ = {&Picture1, &Picture2, &Picture4};
    const std::array<int, kTabs> templates{IDD_SETUP_OPTIONS, IDD_SETUP_MUSIC, IDD_SETUP_MORE};
    for (int i = 0; i < kTabs; ++i) {
        if (!pages_[static_cast<std::size_t>(i)]->create(
                instance_, templates[static_cast<std::size_t>(i)], window())) {
            return false;
        }
        // The page takes the tab control's own background where a visual style draws one.
        library::EnableThemeDialogTexture(pages_[static_cast<std::size_t>(i)]->window(), ETDT_ENABLETAB);
    }
    if (!Picture3.create(instance_, IDD_SETUP_BUTTONS, window())) {
        return false;
    }
    for (HWND dialog : {window(), Picture1.window(), Picture2.window(), Picture4.window(),
                        Picture3.window()}) {
        keepOwnLayoutOnDpiChange(dialog);
    }
    Picture1.prepare();
    Picture1.setRestore([this] { cmdRestore_Click(); });
    Picture2.prepare();
    layOut(::GetDpiForWindow(window()));
    showPage(0);
    return true;
}

void Setup::layOut(UINT dpi) {
    const LONG style = ::GetWindowLongW(window(), GWL_STYLE);
    const LONG extendedStyle = ::GetWindowLongW(window(), GWL_EXSTYLE);
    RECT frame{0, 0, scaled(kClientSize.cx, dpi), scaled(kClientSize.cy, dpi)};
    ::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(style), FALSE,
                               static_cast<DWORD>(extendedStyle), dpi);
    // Centred in the work area of the monitor that holds the dialog.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT& work = monitor.rcWork;
    ::SetWindowPos(window(), nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);

    placeControls(dpi);
    const RECT page = scaled(kPageArea, dpi);
    // Below the tab control in its order, so that Tab goes from the tabs into the page in
    // front and then to the button row.
    HWND after = item(IDC_SSTAB1);
    for (DialogPage* each : pages_) {
        ::SetWindowPos(each->window(), after, page.left, page.top, page.right - page.left,
                       page.bottom - page.top, SWP_NOACTIVATE);
        each->placeControls(dpi);
        after = each->window();
    }
    const RECT row = scaled(kButtonRow, dpi);
    ::SetWindowPos(Picture3.window(), after, row.left, row.top, row.right - row.left,
                   row.bottom - row.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Picture3.placeControls(dpi);
    applyFonts(dpi);
    addToolTips(dpi);
}

void Setup::applyFonts(UINT dpi) {
    dialogFont_ = makeFont(L"MS Shell Dlg 2", 800, false, dpi);
    ::EnumChildWindows(
        window(),
        [](HWND control, LPARAM font) -> BOOL {
            ::SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(dialogFont_.get()));
    Picture1.setFonts(dpi);
    Picture2.setFonts(dpi);
    Picture3.setFonts(dpi);
}

void Setup::addToolTips(UINT dpi) {
    if (toolTips_ != nullptr) {
        ::DestroyWindow(toolTips_);
    }
    toolTips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window(), nullptr,
                                  instance_, nullptr);
    if (toolTips_ == nullptr) {
        return;
    }
    ::SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, scaled(kToolTipWidth, dpi));
    for (DialogPage* each : pages_) {
        setup::addToolTips(toolTips_, each->window(), instance_);
    }
    setup::addToolTips(toolTips_, Picture3.window(), instance_);
}

void Setup::showPage(int index) {
    for (int i = 0; i < kTabs; ++i) {
        ::ShowWindow(pages_[static_cast<std::size_t>(i)]->window(), i == index ? SW_SHOW : SW_HIDE);
    }
}

// ---- Keys ----

bool Setup::takeKey(const MSG& message) {
    if (message.hwnd != window() && !::IsChild(window(), message.hwnd)) {
        return false;  // a message box or the file dialog
    }
    if (message.message == WM_SYSCHAR ||
        (message.message == WM_CHAR && isPushButton(::GetFocus()))) {
        return takeMnemonic(static_cast<wchar_t>(std::towupper(static_cast<wint_t>(message.wParam))));
    }
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    if (control && (message.wParam == VK_TAB || message.wParam == VK_NEXT ||
                    message.wParam == VK_PRIOR)) {
        // Ctrl+Tab and Ctrl+Page Down bring the next tab to the front, with Shift or Page Up
        // the one before.
        HWND tabs = item(IDC_SSTAB1);
        const bool back = message.wParam == VK_PRIOR || (message.wParam == VK_TAB && shift);
        const auto current = static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        const int next = (current + (back ? kTabs - 1 : 1)) % kTabs;
        ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
        showPage(next);
        return true;
    }
    if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) {
        return false;
    }
    HWND focus = ::GetFocus();
    if (inOpenDropDown(focus)) {
        return false;  // the box takes the key to close its list
    }
    // Esc does nothing, and Enter clicks the button that has the focus and does nothing
    // elsewhere: the dialog has no default button, and closes only by Close or its title bar.
    if (message.wParam == VK_RETURN && isPushButton(focus) && ::IsWindowEnabled(focus)) {
        ::SendMessageW(focus, BM_CLICK, 0, 0);
    }
    return true;
}

bool Setup::takeMnemonic(wchar_t letter) {
    std::vector<HWND> matches;
    for (HWND control : reachableControls(window())) {
        if (mnemonicOf(windowText(control)) == letter && hasClass(control, L"Button")) {
            matches.push_back(control);
        }
    }
    if (matches.empty()) {
        return false;
    }
    if (matches.size() == 1) {
        HWND control = matches.front();
        if (!isPushButton(control)) {
            ::SetFocus(control);
        }
        ::SendMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    // A letter that several reachable buttons share ("&Clear All", "&Close") only moves the
    // focus from one to the next: it never clicks a button that the user did not mean.
    const auto focused = std::ranges::find(matches, ::GetFocus());
    const auto next = focused == matches.end() || focused + 1 == matches.end() ? matches.begin()
                                                                               : focused + 1;
    ::SetFocus(*next);
    return true;
}

// ---- Messages ----

bool Setup::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_INITDIALOG:
            result = TRUE;  // the focus goes to the first control, the tabs
            return true;
        case WM_COMMAND:
            // IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc, close
            // nothing: the dialog has no default and no cancel button.
            return true;
        case WM_CLOSE:
            // The title bar's close button closes without the empty-list warning.
            closed_ = true;
            return true;
        case WM_NOTIFY: {
            const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
            if (notice->idFrom == IDC_SSTAB1 && notice->code == TCN_SELCHANGE) {
                showPage(static_cast<int>(::SendMessageW(notice->hwndFrom, TCM_GETCURSEL, 0, 0)));
            }
            return true;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: laid out again for it, where Windows
            // suggests.
            layOut(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window(), nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
        default:
            return false;
    }
}

// ---- Life cycle ----

void Setup::Form_Load() {
    prepareStore(sessionStore_.store(), InstallDir, kWindowsKeyUses);
    TegoSnd1.setVisible(false);
    Picture1.loadPictureList();
    sessionStore_.withoutReports([this] { loadControls(); });
}

void Setup::loadControls() {
    Picture1.loadDisplayOptions();
    Picture2.loadMusic();
    Picture1.loadCalendar();
    Picture2.loadSoundOff();
    Picture4.loadPictureOptions();
    Picture4.loadLogonScreen();
}

void Setup::buttonClicked(int id) {
    switch (id) {
        case IDC_CMDOK: cmdOK_Click(); break;
        case IDC_CMDHELP: cmdHelp_Click(); break;
        case IDC_CMDWEBSITE: cmdWebsite_Click(); break;
        case IDC_CMDABOUT: cmdAbout_Click(); break;
        default: break;
    }
}

void Setup::cmdOK_Click() {
    if (!mayClose(static_cast<std::size_t>(Picture1.listCount()), boxes_)) {
        return;
    }
    closed_ = true;
}

void Setup::cmdRestore_Click() {
    // Straight to the user's store: a refusal is shown by Restore, in its own words.
    restoreSettings(sessionStore_.store(), InstallDir, boxes_, kWindowsKeyUses);
}

void Setup::reportRefusedWrite(const std::string& reason) {
    const MessageText refused = refusedWrite(reason);
    boxes_.error(refused.title, refused.text);
}

std::string Setup::helpPage() const {
    // Beside the program, where the installer puts it; else in the install folder.
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    const std::string beside =
        platform::toUtf8(program.substr(0, program.find_last_of(L"\\/") + 1)) + "help.html";
    return files_.isFile(beside) ? beside : InstallDir + "help.html";
}

void Setup::cmdHelp_Click() {
    Navigate(helpPage(), true);
}

void Setup::cmdWebsite_Click() {
    const std::string configured = LUMI_WEBSITE_URL;
    if (configured.empty()) {
        Navigate(helpPage(), true);
        return;
    }
    Navigate(configured, false);
}

void Setup::Navigate(const std::string& WebPageURL, bool localFile) {
    setup::Navigate(WebPageURL, localFile ? std::optional(WebPageURL) : std::nullopt, files_,
                    boxes_, [&] { return openInShell(window(), WebPageURL); });
}

void Setup::cmdAbout_Click() {
    showAbout(LUMI_WEBSITE_URL, helpPage(), boxes_);
}

}  // namespace lumi::setup
