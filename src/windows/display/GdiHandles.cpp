// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/GdiHandles.h"

#include <algorithm>

namespace lumi::display {

BITMAPINFO topDownBitmapInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

DibSection::DibSection(int width, int height, Rgb fill) {
    if (width < 1 || height < 1) {
        return;
    }
    const BITMAPINFO info = topDownBitmapInfo(width, height);
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        return;
    }
    pixels_ = PixelBuffer{static_cast<Rgb*>(bits), width, height, width};
    std::fill(pixels_.bits, pixels_.bits + static_cast<std::ptrdiff_t>(width) * height, fill);
}

void drawPixels(HDC dc, const ConstPixelBuffer& pixels, POINT at) {
    if (pixels.isNull()) {
        return;
    }
    BITMAPINFO info = topDownBitmapInfo(static_cast<int>(pixels.stride), pixels.height);
    SetDIBitsToDevice(dc, at.x, at.y, static_cast<DWORD>(pixels.width),
                      static_cast<DWORD>(pixels.height), 0, 0, 0,
                      static_cast<UINT>(pixels.height), pixels.bits, &info, DIB_RGB_COLORS);
}

}  // namespace lumi::display
