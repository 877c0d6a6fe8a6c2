// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "display/PixelBuffer.h"

namespace lumi::display {

struct GdiObjectDelete {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDelete>;

struct DeleteDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc>;

// A top-down 32-bit DIB section: pixels that both the core writes (as Rgb, 0xAARRGGBB, which
// is the byte order B, G, R, A of the DIB) and GDI copies to the screen.
class DibSection {
public:
    DibSection() = default;
    // A section of `width` x `height` pixels, every pixel `fill`; null when either is less
    // than 1 or the system has no memory for it.
    DibSection(int width, int height, Rgb fill);

    bool isNull() const { return !bitmap_; }
    HBITMAP bitmap() const { return bitmap_.get(); }
    PixelBuffer pixels() const { return pixels_; }

private:
    BitmapHandle bitmap_;
    PixelBuffer pixels_;
};

// The header of a top-down 32-bit picture of `width` x `height`, for SetDIBitsToDevice and
// CreateDIBSection.
BITMAPINFO topDownBitmapInfo(int width, int height);

// Copies `pixels`, whose top-left pixel stands at `at` in the device context's coordinates,
// into `dc`, clipped to the device context's clip region.
void drawPixels(HDC dc, const ConstPixelBuffer& pixels, POINT at);

}  // namespace lumi::display
