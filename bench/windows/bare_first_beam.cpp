// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the display's time to its first beam: decodes the picture named by the only
// argument with WIC into 32-bit BGRA, as the display does, and then shows a top-most window
// over the whole screen filled with the colour of the picture's centre pixel. A key or a
// click ends it with status 0; a picture that does not decode ends it with status 1 and no
// window.
#include <windows.h>
#include <wincodec.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

// Releases a COM interface when it goes out of scope.
struct ComRelease {
    void operator()(IUnknown* unknown) const { unknown->Release(); }
};
template <typename T> using ComPtr = std::unique_ptr<T, ComRelease>;

struct BrushDelete {
    void operator()(HBRUSH brush) const { DeleteObject(brush); }
};

// Decodes the whole first frame and returns its centre pixel as a COLORREF; nothing when any
// step fails.
bool decodeCentre(const wchar_t* path, COLORREF& centre) {
    IWICImagingFactory* rawFactory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&rawFactory)))) {
        return false;
    }
    ComPtr<IWICImagingFactory> factory(rawFactory);
    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &rawDecoder))) {
        return false;
    }
    ComPtr<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame))) {
        return false;
    }
    ComPtr<IWICBitmapFrameDecode> frame(rawFrame);
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter))) {
        return false;
    }
    ComPtr<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return false;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) {
        return false;
    }
    const UINT stride = width * 4;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()),
                                     pixels.data()))) {
        return false;
    }
    const BYTE* pixel = pixels.data() + static_cast<size_t>(height / 2) * stride + (width / 2) * 4;
    centre = RGB(pixel[2], pixel[1], pixel[0]);
    return true;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argumentCount = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(
        CommandLineToArgvW(GetCommandLineW(), &argumentCount), &LocalFree);
    if (!arguments || argumentCount != 2) {
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    COLORREF centre = 0;
    const bool decoded = decodeCentre(arguments.get()[1], centre);
    if (!decoded) {
        CoUninitialize();
        return 1;
    }
    std::unique_ptr<std::remove_pointer_t<HBRUSH>, BrushDelete> brush(CreateSolidBrush(centre));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = brush.get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareFirstBeam";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"BareFirstBeam", L"Bare first beam", WS_POPUP,
                                  0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance,
                                  nullptr);
    if (!window) {
        CoUninitialize();
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnregisterClassW(L"BareFirstBeam", instance);
    CoUninitialize();
    return 0;
}
