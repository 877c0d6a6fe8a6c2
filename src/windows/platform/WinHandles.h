// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <objbase.h>
#include <windows.h>

#include <memory>
#include <type_traits>

namespace lumi::platform {

// Owners of the Win32 handles that the Windows edition holds: each closes its handle with the
// matching call when it goes. A null handle is never closed.
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct WindowDestroyer {
    void operator()(HWND window) const { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// COM for the calling thread for the life of the object (apartment-threaded, as the window
// thread needs); `ok()` tells whether COM may be used.
class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

}  // namespace lumi::platform
