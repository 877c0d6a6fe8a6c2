// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "setup/SetupPages.h"
#include "windows/display/GdiHandles.h"
#include "windows/setup/DialogLayout.h"

// What the Setup dialog's pages share: each page is a child dialog made from its template,
// laid out in pixels grown by the DPI, with fonts made for that DPI, and the small rules of
// its controls (scroll bars, check boxes, the pale yellow buttons, tool tips).
namespace lumi::setup {

// A font of `points` (in hundredths: 825 is 8.25 points) for a window at `dpi`.
display::FontHandle makeFont(const wchar_t* face, int hundredthPoints, bool bold, UINT dpi);

// A child dialog made from a template whose numbers are pixels (DialogLayout.h). The derived
// page handles the messages of its controls; the dialog procedure never lets an exception out.
class DialogPage {
public:
    DialogPage() = default;
    virtual ~DialogPage();
    DialogPage(const DialogPage&) = delete;
    DialogPage& operator=(const DialogPage&) = delete;

    // Makes the page from template `templateId` as a child of `parent` (nullptr: a top-level
    // dialog); false when the system refused.
    bool create(HINSTANCE instance, int templateId, HWND parent);
    HWND window() const { return window_; }
    // Puts the page's controls at their pixels grown to `dpi`.
    void placeControls(UINT dpi) const;
    // The template's own size grown to `dpi`.
    SIZE size(UINT dpi) const;

protected:
    HWND item(int id) const { return ::GetDlgItem(window_, id); }
    // Handles a message of the page's dialog procedure; true when handled, with the
    // message's result in `result` (0 unless set): for WM_INITDIALOG whether the dialog
    // manager sets the focus, for WM_CTLCOLOR... the brush, for any other its
    // DWLP_MSGRESULT.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    DialogTemplateLayout layout_;
};

// A horizontal scroll bar from `minimum` to `maximum` moved by 1 and by `page`.
struct ScrollRange {
    int minimum = 0;
    int maximum = 0;
    int page = 1;
};
void setScrollRange(HWND bar, const ScrollRange& range);
// Where a WM_HSCROLL's `request` moves `bar` within `range`.
int scrolledPosition(HWND bar, const ScrollRange& range, WORD request);

bool isChecked(HWND box);
void setChecked(HWND box, bool checked);
// Loads `state` into the check box `box` as a user's click would set it: `clicked`, the box's
// handler, runs when the state changes, and stores only when `settings` lets the load store.
void loadCheckBox(PageSettings& settings, HWND box, const LoadedValue& state,
                  const std::function<void()>& clicked);

// Draws an owner-drawn push button of the button row: its caption on a pale yellow face.
void drawYellowButton(const DRAWITEMSTRUCT& item);

// Gives every control of `page` that has a tool tip (the string of its number) its tip in
// `toolTips`. A group box, which takes no mouse messages, gets its tip over its area of the
// page.
void addToolTips(HWND toolTips, HWND page, HINSTANCE instance);

// The text of window `window`.
std::wstring windowText(HWND window);

// The letter after the single "&" of `caption`, upper case; 0 when it has none.
wchar_t mnemonicOf(const std::wstring& caption);

}  // namespace lumi::setup
