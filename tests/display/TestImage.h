// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// A small image that owns its pixels, for the painting tests: `height` rows of `width`
// pixels, `stride` pixels apart (at least `width`; the pixels past a row's end are padding).
// Two images are equal when their sizes and all their visible pixels are.
class TestImage {
public:
    TestImage(Size size, Rgb fill, int stride = 0)
        : size_(size),
          stride_(stride > size.width ? stride : size.width),
          memory_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(size.height), fill) {}

    PixelBuffer pixels() { return {memory_.data(), size_.width, size_.height, stride_}; }
    ConstPixelBuffer pixels() const { return {memory_.data(), size_.width, size_.height, stride_}; }
    const std::vector<Rgb>& memory() const { return memory_; }

    Size size() const { return size_; }
    int width() const { return size_.width; }
    int height() const { return size_.height; }
    Rect rect() const { return Rect::fromSize({}, size_); }

    Rgb pixel(Point at) const { return memory_[index(at)]; }
    void setPixel(Point at, Rgb color) { memory_[index(at)] = color; }

    // The pixels of `area`, which must lie inside the image.
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
        if (a.size_ != b.size_) {
            return false;
        }
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel({x, y}) != b.pixel({x, y})) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    std::size_t index(Point at) const {
        return static_cast<std::size_t>(at.y) * static_cast<std::size_t>(stride_) +
               static_cast<std::size_t>(at.x);
    }

    Size size_;
    int stride_;
    std::vector<Rgb> memory_;
};

inline void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom
         << ")";
}

inline void PrintTo(Point point, std::ostream* out) {
    *out << "(" << point.x << "," << point.y << ")";
}

}  // namespace lumi::display
