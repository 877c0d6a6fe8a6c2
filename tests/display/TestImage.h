// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// A small image of its own pixels for the painting tests, rows `stride` pixels apart (the
// pixels past a row's end are padding). Two images are equal when their sizes and all their
// visible pixels are.
struct TestImage {
    TestImage(Size size, Rgb fill, int stride = 0)
        : size(size),
          stride(std::max(stride, size.width)),
          memory(static_cast<std::size_t>(this->stride * size.height), fill) {}

    PixelBuffer pixels() { return {memory.data(), size.width, size.height, stride}; }
    ConstPixelBuffer pixels() const { return {memory.data(), size.width, size.height, stride}; }
    int width() const { return size.width; }
    int height() const { return size.height; }
    Rect rect() const { return Rect::fromSize({}, size); }
    Rgb pixel(Point at) const { return memory[static_cast<std::size_t>(at.y * stride + at.x)]; }
    void setPixel(Point at, Rgb color) { memory[static_cast<std::size_t>(at.y * stride + at.x)] = color; }

    // The pixels of `area`, which lies inside the image.
    TestImage copy(const Rect& area) const {
        TestImage part({area.width(), area.height()}, 0);
        for (int y = 0; y < part.height(); ++y) {
            for (int x = 0; x < part.width(); ++x) {
                part.setPixel({x, y}, pixel(Point{x, y} + area.topLeft()));
            }
        }
        return part;
    }

    friend bool operator==(const TestImage& a, const TestImage& b) {
        return a.size == b.size && a.copy(a.rect()).memory == b.copy(b.rect()).memory;
    }

    Size size;
    int stride;
    std::vector<Rgb> memory;
};

}  // namespace lumi::display
