// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 side of the end-to-end tests, run under Wine:
//   host_window host <title> <width> <height> <quit file>  a window with a magenta client area
//       of that size; prints its number, then "child <x> <y> <w> <h> in <w> <h>" once a child
//       window "Preview" appears in it, and destroys itself when the quit file exists
//   host_window locate <window title> <control text>  prints a screen point near the left end
//       of the control, where a check box has its box
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Host {
    std::wstring quitFile;
    bool childSeen = false;
};

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && host) {
        HWND child = FindWindowExW(window, nullptr, nullptr, L"Preview");
        RECT childRect;
        RECT client;
        if (child && !host->childSeen && IsWindowVisible(child)) {
            host->childSeen = true;
            GetWindowRect(child, &childRect);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&childRect), 2);
            GetClientRect(window, &client);
            std::printf("child %ld %ld %ld %ld in %ld %ld\n", childRect.left, childRect.top,
                        childRect.right - childRect.left, childRect.bottom - childRect.top,
                        client.right, client.bottom);
        }
        if (GetFileAttributesW(host->quitFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DestroyWindow(window);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runHost(const wchar_t* title, int width, int height, const wchar_t* quitFile) {
    Host host{quitFile};
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    windowClass.lpszClassName = L"LumiscribeTestHost";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                50, 50, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
    std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
    SetTimer(window, 1, 100, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}

int locate(const wchar_t* title, const wchar_t* text) {
    HWND window = FindWindowW(nullptr, title);
    HWND control = window ? FindWindowExW(window, nullptr, nullptr, text) : nullptr;
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) {
        return 1;
    }
    std::printf("%ld %ld\n", rect.left + 6, (rect.top + rect.bottom) / 2);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // the tests read the output as it comes
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"host" && argc == 6) {
        return runHost(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), argv[5]);
    }
    if (mode == L"locate" && argc == 4) {
        return locate(argv[2], argv[3]);
    }
    std::fputs("usage: host_window host|locate ...\n", stderr);
    return 2;
}
