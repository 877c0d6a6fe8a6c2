// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/Geometry.h"

namespace lumi::display {

// A colour as one 32-bit pixel holds it: 0xAARRGGBB, alpha in the top byte. Opaque pixels
// have alpha 0xff.
using Rgb = std::uint32_t;

// A view of 32-bit pixels that someone else owns: `height` rows of `width` pixels, row y
// starting at bits + y * stride. `stride` counts pixels, not bytes, and is at least `width`;
// the pixels between the end of a row and the start of the next belong to no one here and
// are never written. A buffer without pixels has null bits and a zero size. The view is
// copied freely; it is valid for as long as its owner keeps the memory in place.
struct PixelBuffer {
    Rgb* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    bool isNull() const { return bits == nullptr || width < 1 || height < 1; }
    Rect rect() const { return isNull() ? Rect{} : Rect::fromSize({}, {width, height}); }
    Rgb* row(int y) const { return bits + y * stride; }
};

// The same view for pixels that are only read.
struct ConstPixelBuffer {
    const Rgb* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    ConstPixelBuffer() = default;
    ConstPixelBuffer(const Rgb* bits, int width, int height, std::ptrdiff_t stride)
        : bits(bits), width(width), height(height), stride(stride) {}
    ConstPixelBuffer(const PixelBuffer& pixels)  // NOLINT: a writable view reads as well
        : ConstPixelBuffer(pixels.bits, pixels.width, pixels.height, pixels.stride) {}

    bool isNull() const { return bits == nullptr || width < 1 || height < 1; }
    const Rgb* row(int y) const { return bits + y * stride; }
};

}  // namespace lumi::display
