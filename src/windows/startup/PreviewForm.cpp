// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/startup/PreviewForm.h"

#include <shlwapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <span>

#include "windows/resources/resource.h"

namespace lumi::startup {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kClassName[] = L"LumiscribePreview";

struct Still {
    platform::UniqueBitmap bitmap;
    SIZE size{};
};

// The bytes of an RCDATA resource of `instance`; empty when it has none of that number.
std::span<const BYTE> resourceBytes(HINSTANCE instance, int id) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!resource) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) {
        return {};
    }
    return {static_cast<const BYTE*>(bytes), ::SizeofResource(instance, resource)};
}

// Decodes a picture held in memory into a top-down 32-bit DIB section; an empty Still when
// the bytes do not decode. COM must be initialised on the calling thread.
Still decodeStill(std::span<const BYTE> bytes) {
    if (bytes.empty()) {
        return {};
    }
    ComPtr<IStream> stream;
    stream.Attach(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    ComPtr<IWICImagingFactory> factory;
    if (!stream || FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(&factory)))) {
        return {};
    }
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.Get(), &converted))) {
        return {};
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0) {
        return {};
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    platform::UniqueBitmap bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    const UINT stride = width * 4;
    if (!bitmap || FAILED(converted->CopyPixels(nullptr, stride, stride * height,
                                                static_cast<BYTE*>(pixels)))) {
        return {};
    }
    return {std::move(bitmap), SIZE{static_cast<LONG>(width), static_cast<LONG>(height)}};
}

}  // namespace

PreviewForm::PreviewForm(HINSTANCE instance) {
    {
        const platform::ComApartment com;
        if (com.ok()) {
            Still still = decodeStill(resourceBytes(instance, IDR_PREVIEW_STILL));
            still_ = std::move(still.bitmap);
            stillSize_ = still.size;
        }
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);
    window_ = ::CreateWindowExW(0, kClassName, L"Preview", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, this);
}

PreviewForm::~PreviewForm() {
    if (window_) {
        ::DestroyWindow(window_);
    }
}

LRESULT CALLBACK PreviewForm::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<PreviewForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT:
            if (form) {
                form->paint(window);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (form) {
                form->window_ = nullptr;
            }
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void PreviewForm::paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    if (still_) {
        const platform::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
        if (memory) {
            HGDIOBJ previous = ::SelectObject(memory.get(), still_.get());
            ::BitBlt(dc, 0, 0, stillSize_.cx, stillSize_.cy, memory.get(), 0, 0, SRCCOPY);
            ::SelectObject(memory.get(), previous);
            ::ExcludeClipRect(dc, 0, 0, stillSize_.cx, stillSize_.cy);
        }
    }
    ::FillRect(dc, &paint.rcPaint, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(window, &paint);
}

}  // namespace lumi::startup
