// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <vector>

namespace lumi::display {

// A pixel position, or a displacement between two positions; y grows downwards.
struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(Point, Point) = default;
    friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
    friend Point operator-(Point a) { return {-a.x, -a.y}; }
};

// A width and a height in pixels. A size with a side below 1 holds no pixel.
struct Size {
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width < 1 || height < 1; }
    friend bool operator==(Size, Size) = default;
};

// A rectangle of whole pixels given by its edges, all four inclusive: it holds the pixels
// (x, y) with left <= x <= right and top <= y <= bottom, so that a rectangle of one pixel has
// left == right. It holds no pixel when right < left or bottom < top; the default rectangle is
// such an empty one. Every operation below treats all empty rectangles alike, whatever their
// edges.
struct Rect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    // The rectangle from `topLeft` to `bottomRight`, both pixels inside it.
    static constexpr Rect fromCorners(Point topLeft, Point bottomRight) {
        return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
    // The rectangle of `size` whose top-left pixel is `topLeft`.
    static constexpr Rect fromSize(Point topLeft, Size size) {
        return {topLeft.x, topLeft.y, topLeft.x + size.width - 1, topLeft.y + size.height - 1};
    }

    constexpr int width() const { return right - left + 1; }
    constexpr int height() const { return bottom - top + 1; }
    constexpr Point topLeft() const { return {left, top}; }
    constexpr bool isEmpty() const { return left > right || top > bottom; }
    bool contains(Point point) const {
        return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
    }

    // The pixels that both rectangles hold; the default empty rectangle when there are none.
    Rect intersected(const Rect& other) const {
        const Rect common{std::max(left, other.left), std::max(top, other.top),
                          std::min(right, other.right), std::min(bottom, other.bottom)};
        return isEmpty() || other.isEmpty() || common.isEmpty() ? Rect{} : common;
    }
    // The smallest rectangle that holds both; an empty rectangle adds nothing to the other.
    Rect united(const Rect& other) const {
        if (isEmpty()) {
            return other;
        }
        if (other.isEmpty()) {
            return *this;
        }
        return {std::min(left, other.left), std::min(top, other.top),
                std::max(right, other.right), std::max(bottom, other.bottom)};
    }
    Rect translated(Point offset) const {
        return {left + offset.x, top + offset.y, right + offset.x, bottom + offset.y};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// A set of pixels as rectangles that do not overlap, in no particular order; empty when it
// holds no rectangle.
using Region = std::vector<Rect>;

}  // namespace lumi::display
