// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/SetupControls.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

namespace lumi::setup {

namespace {

constexpr COLORREF kButtonFace = RGB(255, 255, 192);

bool isGroupBox(HWND control) {
    wchar_t className[16] = L"";
    ::GetClassNameW(control, className, 16);
    return ::lstrcmpiW(className, L"Button") == 0 &&
           (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

display::FontHandle makeFont(const wchar_t* face, int hundredthPoints, bool bold, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(hundredthPoints, static_cast<int>(dpi), 7200);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return display::FontHandle(::CreateFontIndirectW(&font));
}

DialogPage::~DialogPage() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, DWLP_USER, 0);
        ::DestroyWindow(window_);
    }
}

bool DialogPage::create(HINSTANCE instance, int templateId, HWND parent) {
    layout_ = loadDialogLayout(instance, templateId);
    window_ = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, procedure,
                                   reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void DialogPage::placeControls(UINT dpi) const {
    setup::placeControls(window_, layout_, dpi);
}

SIZE DialogPage::size(UINT dpi) const {
    return SIZE{scaled(layout_.size.cx, dpi), scaled(layout_.size.cy, dpi)};
}

INT_PTR CALLBACK DialogPage::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<DialogPage*>(lParam);
        page->window_ = window;
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    auto* page = reinterpret_cast<DialogPage*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (page == nullptr) {
        return FALSE;
    }
    try {
        INT_PTR result = 0;
        if (!page->handle(message, wParam, lParam, result)) {
            return FALSE;
        }
        if (message == WM_INITDIALOG || message == WM_CTLCOLORLISTBOX ||
            message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN ||
            message == WM_CTLCOLOREDIT) {
            return result;  // whether to set the focus, or a brush: returned as it is
        }
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void setScrollRange(HWND bar, const ScrollRange& range) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = range.minimum;
    info.nMax = range.maximum;
    info.nPos = range.minimum;
    ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

int scrolledPosition(HWND bar, const ScrollRange& range, WORD request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    ::GetScrollInfo(bar, SB_CTL, &info);
    int position = info.nPos;
    switch (request) {
        case SB_LINELEFT: position -= 1; break;
        case SB_LINERIGHT: position += 1; break;
        case SB_PAGELEFT: position -= range.page; break;
        case SB_PAGERIGHT: position += range.page; break;
        case SB_LEFT: position = range.minimum; break;
        case SB_RIGHT: position = range.maximum; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: position = info.nTrackPos; break;
        default: break;
    }
    return std::clamp(position, range.minimum, range.maximum);
}

bool isChecked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND box, bool checked) {
    ::SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void loadCheckBox(PageSettings& settings, HWND box, const LoadedValue& state,
                  const std::function<void()>& clicked) {
    settings.load(state.storable, [&] {
        const bool checked = state.value == 1;
        if (isChecked(box) == checked) {
            return;
        }
        setChecked(box, checked);
        clicked();
    });
}

void drawYellowButton(const DRAWITEMSTRUCT& item) {
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    HBRUSH brush = ::CreateSolidBrush(kButtonFace);
    ::FillRect(item.hDC, &face, brush);
    ::DeleteObject(brush);
    if (focused) {
        ::FrameRect(item.hDC, &face, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&face, -1, -1);
    }
    ::DrawEdge(item.hDC, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring caption = windowText(item.hwndItem);
    RECT text = face;
    if (pressed) {
        ::OffsetRect(&text, 1, 1);
    }
    ::SetBkMode(item.hDC, TRANSPARENT);
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::SetTextColor(item.hDC, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if ((item.itemState & ODS_NOACCEL) != 0) {
        format |= DT_HIDEPREFIX;
    }
    ::DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = face;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

void addToolTips(HWND toolTips, HWND page, HINSTANCE instance) {
    for (HWND control = ::GetWindow(page, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(control);
        const wchar_t* text = nullptr;
        const int length = ::LoadStringW(instance, static_cast<UINT>(id),
                                         reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0) {
            continue;
        }
        std::wstring tip(text, static_cast<std::size_t>(length));
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = page;
        tool.lpszText = tip.data();
        if (isGroupBox(control)) {
            tool.uFlags = TTF_SUBCLASS;
            tool.uId = static_cast<UINT_PTR>(id);
            ::GetWindowRect(control, &tool.rect);
            ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&tool.rect), 2);
        } else {
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.uId = reinterpret_cast<UINT_PTR>(control);
        }
        ::SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

wchar_t mnemonicOf(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') {
            continue;
        }
        if (caption[i + 1] != L'&') {
            return static_cast<wchar_t>(std::towupper(caption[i + 1]));
        }
        ++i;  // "&&" is a plain "&"
    }
    return 0;
}

}  // namespace lumi::setup
