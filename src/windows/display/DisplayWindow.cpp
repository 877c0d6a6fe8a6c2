// SPDX-License-Identifier: GPL-3.0-or-later
// FIXME: a black stand-in for the display, which ends on a key, a click or the fourth mouse
// move; the slide show replaces it.
#include "windows/display/DisplayWindow.h"

#include <optional>

namespace lumi::display {
namespace {

constexpr wchar_t kClassName[] = L"LumiscribeDisplay";
// The mouse moves that change the pointer's position before the display ends.
constexpr int kMovesToEnd = 4;

struct DisplayState {
    std::optional<POINT> lastPointer;
    int moves = 0;
};

// Tells Windows that the screen saver no longer runs, shows the cursor and ends the loop.
void closeDown(HWND window) {
    ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    ::ShowCursor(TRUE);
    ::DestroyWindow(window);
}

LRESULT CALLBACK displayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DisplayState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            closeDown(window);
            return 0;
        case WM_MOUSEMOVE: {
            if (!state) {
                break;
            }
            const POINT pointer{static_cast<short>(LOWORD(lParam)),
                                static_cast<short>(HIWORD(lParam))};
            // The first report only tells where the pointer is; Windows sends it when the
            // window appears under a pointer that did not move.
            const bool moved = state->lastPointer && (state->lastPointer->x != pointer.x ||
                                                      state->lastPointer->y != pointer.y);
            state->lastPointer = pointer;
            if (moved && ++state->moves >= kMovesToEnd) {
                closeDown(window);
            }
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int runFullScreen(HINSTANCE instance, const std::wstring& /*installDir*/) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = displayProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass)) {
        return 1;
    }

    DisplayState state;
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Lumiscribe", WS_POPUP, left, top,
                                    width, height, nullptr, nullptr, instance, &state);
    if (!window) {
        return 1;
    }
    ::ShowCursor(FALSE);
    ::SetWindowPos(window, HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW);
    ::SetForegroundWindow(window);
    ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace lumi::display
