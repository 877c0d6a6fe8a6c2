// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/OptionsPage.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "windows/platform/Utf16.h"
#include "windows/resources/resource.h"
#include "windows/setup/SetupLibraries.h"

namespace lumi::setup {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr ScrollRange kDelayRange{OptionsPageSettings::kDelayMinimum,
                                  OptionsPageSettings::kDelayMaximum, 10};
constexpr ScrollRange kMouseRange{OptionsPageSettings::kMouseMinimum,
                                  OptionsPageSettings::kMouseMaximum, 5};

// The row that List1 shows for `entry`: control characters, which a hand-written list may
// hold inside quotes, made visible, so that every entry takes exactly one row.
std::wstring shownEntry(const std::string& entry) {
    std::wstring shown = platform::toUtf16(entry);
    for (wchar_t& c : shown) {
        if (c < 0x20) {
            c = static_cast<wchar_t>(0x2400 + c);
        } else if (c == 0x7F) {
            c = 0x2421;
        }
    }
    return shown;
}

// The files and folders dropped on the list, in the order given.
std::vector<std::string> droppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = library::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(library::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(library::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(platform::toUtf8(path));
    }
    library::DragFinish(drop);
    return paths;
}

LRESULT CALLBACK forwardDrops(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_DROPFILES) {
        return ::SendMessageW(::GetParent(window), WM_DROPFILES, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        library::RemoveWindowSubclass(window, forwardDrops, 0);
    }
    return library::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

OptionsPage::OptionsPage(platform::SettingsStore& store, platform::PictureListFile& list)
    : store_(store), settings_(store), editor_(list, files_, boxes_) {}

void OptionsPage::prepare() {
    boxes_.setOwner(::GetAncestor(window(), GA_ROOT));
    setScrollRange(item(IDC_HSBDELAY), kDelayRange);
    setScrollRange(item(IDC_HSBMOUSES), kMouseRange);
    ::SetWindowTextW(item(IDC_TXTMOUSES), L"1");
    // Files and folders dropped on the list reach the page.
    library::DragAcceptFiles(item(IDC_LIST1), TRUE);
    library::SetWindowSubclass(item(IDC_LIST1), forwardDrops, 0, 0);
    navy_ = ::CreateSolidBrush(kNavy);
}

void OptionsPage::setFonts(UINT dpi) {
    listFont_ = makeFont(L"Tahoma", 675, false, dpi);
    countFont_ = makeFont(L"Arial", 1425, true, dpi);
    endsFont_ = makeFont(L"Arial", 675, false, dpi);
    ::SendMessageW(item(IDC_LIST1), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
    ::SendMessageW(item(IDC_LBLNUM), WM_SETFONT, reinterpret_cast<WPARAM>(countFont_.get()), TRUE);
    for (int id : {IDC_LABEL32, IDC_LABEL33}) {
        ::SendMessageW(item(id), WM_SETFONT, reinterpret_cast<WPARAM>(endsFont_.get()), TRUE);
    }
    showView(shownView());  // the rows' width in the new font
}

// ---- Loading ----

void OptionsPage::loadPictureList() {
    showView(editor_.load());
}

void OptionsPage::loadDisplayOptions() {
    const LoadedValue background = settings_.loadBackground();
    settings_.load(background.storable, [&] { checkBackground(background.value); });
    if (isChecked(item(IDC_OPTBG0 + OptionsPageSettings::kCustomBackground))) {
        ::EnableWindow(item(IDC_CMDADDBG), TRUE);
    }
    ::SetWindowTextW(item(IDC_LBLBG), platform::toUtf16(settings_.loadBackgroundFile()).c_str());
    const LoadedValue delay = settings_.loadDelay();
    settings_.load(delay.storable, [&] { setBar(IDC_HSBDELAY, delay.value); });
    const LoadedValue mouse = settings_.loadMouseSensitivity();
    settings_.load(mouse.storable, [&] { setBar(IDC_HSBMOUSES, mouse.value); });
}

void OptionsPage::loadCalendar() {
    const LoadedValue calendar = settings_.loadCalendar();
    loadCheckBox(settings_, item(IDC_CHKCALENDAR), calendar, [this] { chkCalendar_Click(); });
}

int OptionsPage::listCount() const {
    return static_cast<int>(entries_.size());
}

void OptionsPage::setBar(int id, int value) {
    HWND bar = item(id);
    if (::GetScrollPos(bar, SB_CTL) == value) {
        return;
    }
    ::SetScrollPos(bar, SB_CTL, value, TRUE);
    id == IDC_HSBDELAY ? hsbDelay_Change() : hsbMouseS_Change();
}

void OptionsPage::checkBackground(int index) {
    HWND chosen = item(IDC_OPTBG0 + index);
    if (isChecked(chosen)) {
        return;
    }
    ::CheckRadioButton(window(), IDC_OPTBG0, IDC_OPTBG0 + 3, IDC_OPTBG0 + index);
    OptBG_Click(index);
}

// ---- Messages ----

bool OptionsPage::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_HSCROLL:
            scrolled(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            return true;
        case WM_DROPFILES:
            addPaths(droppedPaths(reinterpret_cast<HDROP>(wParam)));
            return true;
        case WM_CTLCOLORLISTBOX:
            if (reinterpret_cast<HWND>(lParam) != item(IDC_LIST1)) {
                return false;
            }
            ::SetTextColor(reinterpret_cast<HDC>(wParam), kYellow);
            ::SetBkColor(reinterpret_cast<HDC>(wParam), kNavy);
            result = reinterpret_cast<INT_PTR>(navy_);
            return true;
        case WM_DESTROY:
            ::DeleteObject(navy_);
            navy_ = nullptr;
            return true;
        default:
            return false;
    }
}

void OptionsPage::command(int id, int code) {
    if (id >= IDC_OPTBG0 && id <= IDC_OPTBG0 + 3) {
        if (code == BN_CLICKED && isChecked(item(id))) {
            OptBG_Click(id - IDC_OPTBG0);
        }
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
        case IDC_CMDADD: CmdAdd_Click(); break;
        case IDC_CMDADDFOLDER: cmdAddFolder_Click(); break;
        case IDC_CMDDELETE: CmdDelete_Click(); break;
        case IDC_CMDCLEAR: cmdClear_Click(); break;
        case IDC_CMDADDBG: cmdAddBG_Click(); break;
        case IDC_CHKCALENDAR: chkCalendar_Click(); break;
        case IDC_CMDRESTORE:
            if (restore_) {
                restore_();
            }
            break;
        default: break;
    }
}

void OptionsPage::scrolled(HWND bar, WORD request) {
    const bool delay = bar == item(IDC_HSBDELAY);
    if (!delay && bar != item(IDC_HSBMOUSES)) {
        return;
    }
    // Every step, the thumb's drag included, stores at once.
    setBar(delay ? IDC_HSBDELAY : IDC_HSBMOUSES,
           scrolledPosition(bar, delay ? kDelayRange : kMouseRange, request));
}

// ---- The picture list ----

PictureListView OptionsPage::shownView() const {
    PictureListView view;
    view.entries = entries_;
    view.selected = static_cast<int>(::SendMessageW(item(IDC_LIST1), LB_GETCURSEL, 0, 0));
    view.count = platform::toUtf8(windowText(item(IDC_LBLNUM)));
    return view;
}

void OptionsPage::showView(const std::optional<PictureListView>& view) {
    if (!view) {
        return;
    }
    HWND list = item(IDC_LIST1);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // The widest row, so that a long path scrolls sideways rather than being cut.
    HDC dc = ::GetDC(list);
    HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(
                                            ::SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& entry : view->entries) {
        const std::wstring row = shownEntry(entry);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &extent);
        widest = std::max(widest, extent.cx);
    }
    ::SelectObject(dc, before);
    ::ReleaseDC(list, dc);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(view->selected), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    ::SetWindowTextW(item(IDC_LBLNUM), platform::toUtf16(view->count).c_str());
    entries_ = view->entries;
}

void OptionsPage::CmdAdd_Click() {
    const std::string FileName = openPictureFiles(window(), true, store_);
    showView(editor_.addSelection(FileName, shownView()));
}

void OptionsPage::cmdAddFolder_Click() {
    const std::string folder = chooseFolder(window());
    if (folder.empty()) {
        return;
    }
    addPaths({folder});
}

void OptionsPage::addPaths(const std::vector<std::string>& paths) {
    showView(editor_.addPaths(paths, shownView()));
}

void OptionsPage::CmdDelete_Click() {
    showView(editor_.deleteSelected(shownView()));
}

void OptionsPage::cmdClear_Click() {
    showView(editor_.clearAll(shownView()));
}

// ---- The display options ----

void OptionsPage::hsbDelay_Change() {
    const int value = ::GetScrollPos(item(IDC_HSBDELAY), SB_CTL);
    ::SetWindowTextW(item(IDC_LBLDELAY), platform::toUtf16(settings_.delayChanged(value)).c_str());
}

void OptionsPage::hsbMouseS_Change() {
    const int value = ::GetScrollPos(item(IDC_HSBMOUSES), SB_CTL);
    ::SetWindowTextW(item(IDC_TXTMOUSES),
                     platform::toUtf16(settings_.mouseSensitivityChanged(value)).c_str());
}

void OptionsPage::OptBG_Click(int Index) {
    const bool custom = settings_.backgroundChosen(Index);
    ::EnableWindow(item(IDC_CMDADDBG), custom);
    ::EnableWindow(item(IDC_LBLBG), custom);
    // Tab comes to the group at its chosen button.
    for (int i = 0; i < 4; ++i) {
        HWND option = item(IDC_OPTBG0 + i);
        const LONG style = ::GetWindowLongW(option, GWL_STYLE);
        ::SetWindowLongW(option, GWL_STYLE, i == Index ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void OptionsPage::cmdAddBG_Click() {
    const std::string FileName = openPictureFiles(window(), false, store_);
    if (FileName.empty()) {
        return;
    }
    const std::string shown = platform::toUtf8(windowText(item(IDC_LBLBG)));
    ::SetWindowTextW(item(IDC_LBLBG),
                     platform::toUtf16(settings_.backgroundPictureChosen(FileName, shown, editor_))
                         .c_str());
}

void OptionsPage::chkCalendar_Click() {
    settings_.calendarClicked(isChecked(item(IDC_CHKCALENDAR)));
}

}  // namespace lumi::setup
