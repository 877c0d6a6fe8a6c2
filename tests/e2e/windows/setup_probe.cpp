// SPDX-License-Identifier: GPL-3.0-or-later
// What the end-to-end tests of the Setup dialog see of it, run under Wine beside it:
//   setup_probe <query> <control number> [<window title>]
// finds the top-level window of the title ("Lumiscribe Screensaver" unless given), then the
// control of that number anywhere below it, and prints one answer:
//   text      the control's text
//   check     its check state (0, 1, 2)
//   scroll    its scroll bar position
//   rows      the rows of a list box, one a line
//   selected  the selected row of a list box (-1: none)
//   tab       the chosen tab of a tab control
//   enabled, visible  1 or 0
//   centre    the screen point at the control's centre
//   row       the screen point at the centre of the list box row numbered after the control
//             (setup_probe row <control number> <row> [<window title>])
// and, without a control number:
//   setup_probe focus [<window title>]    the number of the control that has the focus
//   setup_probe layout [<window title>]   "client <w> <h>", then "<number> <l> <t> <r> <b>"
//       for every control numbered 1100 and above, relative to the window's client area
//   setup_probe closebox [<window title>] the screen point of the title bar's close button
//   setup_probe record <file> <words...>  appends the words, one line, to the file (a
//       stand-in browser)
// It exits with 1 when the window or control is not there, so that the tests can wait.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kDialogTitle = L"Lumiscribe Screensaver";
// The Setup dialog's own controls are numbered from 1100, the parts of standard controls (a
// drop-down box's text box) lower.
constexpr int kFirstControlNumber = 1100;

struct Search {
    int id;
    HWND found;
};

HWND findControl(HWND window, int id) {
    Search search{id, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            if (::GetDlgCtrlID(child) != wanted->id) {
                return TRUE;
            }
            wanted->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> numberedControls(HWND window) {
    std::vector<HWND> controls;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            if (::GetDlgCtrlID(child) >= kFirstControlNumber) {
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    return controls;
}

void printLine(const std::wstring& text) {
    std::printf("%ls\n", text.c_str());
}

// The text that the control itself holds: GetWindowTextW would give another process's edit
// box only the caption it was made with.
std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(::SendMessageW(
        window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void printListRows(HWND list) {
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1,
                          L'\0');
        text.resize(static_cast<std::size_t>(
            ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
        printLine(text);
    }
}

int printRowCentre(HWND list, int row) {
    RECT client{};
    ::GetClientRect(list, &client);
    const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    POINT centre{client.right / 2, (row - top) * height + height / 2};
    if (row < top || centre.y >= client.bottom) {
        return 1;  // not in view
    }
    ::ClientToScreen(list, &centre);
    std::printf("%ld %ld\n", centre.x, centre.y);
    return 0;
}

int printLayout(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    for (HWND control : numberedControls(window)) {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("%d %ld %ld %ld %ld\n", ::GetDlgCtrlID(control), rect.left, rect.top,
                    rect.right, rect.bottom);
    }
    return 0;
}

int printFocus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return 1;
    }
    std::printf("%d\n", ::GetDlgCtrlID(info.hwndFocus));
    return 0;
}

int printCloseBox(HWND window) {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    RECT client{};
    ::GetClientRect(window, &client);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    // The close button is the last square of the caption, which lies just above the client
    // area and as high as the square.
    const UINT dpi = ::GetDpiForWindow(window);
    const int square = ::GetSystemMetricsForDpi(SM_CYCAPTION, dpi);
    const int border = origin.x - frame.left;
    std::printf("%ld %ld\n", frame.right - border - square / 2, origin.y - square / 2);
    return 0;
}

int record(const wchar_t* file, int count, wchar_t** words) {
    FILE* out = _wfopen(file, L"a");
    if (out == nullptr) {
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        std::fprintf(out, i == 0 ? "%ls" : " %ls", words[i]);
    }
    std::fputs("\n", out);
    std::fclose(out);
    return 0;
}

int query(const std::wstring& what, HWND control, int argument) {
    if (what == L"text") {
        printLine(windowText(control));
    } else if (what == L"check") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0)));
    } else if (what == L"scroll") {
        std::printf("%d\n", ::GetScrollPos(control, SB_CTL));
    } else if (what == L"rows") {
        printListRows(control);
    } else if (what == L"selected") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0)));
    } else if (what == L"tab") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(control, TCM_GETCURSEL, 0, 0)));
    } else if (what == L"enabled") {
        std::printf("%d\n", ::IsWindowEnabled(control) ? 1 : 0);
    } else if (what == L"visible") {
        std::printf("%d\n", ::IsWindowVisible(control) ? 1 : 0);
    } else if (what == L"centre") {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    } else if (what == L"row") {
        return printRowCentre(control, argument);
    } else {
        return 2;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"record" && argc >= 3) {
        return record(argv[2], argc - 3, argv + 3);
    }
    const bool whole = what == L"focus" || what == L"layout" || what == L"closebox";
    const bool row = what == L"row";
    const int titleAt = whole ? 2 : row ? 4 : 3;
    if (argc < titleAt || argc > titleAt + 1) {
        std::fputs("usage: setup_probe <query> [<control number> [<row>]] [<window title>]\n",
                   stderr);
        return 2;
    }
    HWND window = ::FindWindowW(nullptr, argc > titleAt ? argv[titleAt] : kDialogTitle);
    if (window == nullptr || !::IsWindowVisible(window)) {
        return 1;
    }
    if (what == L"focus") {
        return printFocus(window);
    }
    if (what == L"layout") {
        return printLayout(window);
    }
    if (what == L"closebox") {
        return printCloseBox(window);
    }
    HWND control = findControl(window, _wtoi(argv[2]));
    if (control == nullptr) {
        return 1;
    }
    return query(what, control, row ? _wtoi(argv[3]) : 0);
}
