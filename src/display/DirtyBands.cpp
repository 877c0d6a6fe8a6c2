// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/DirtyBands.h"

#include <algorithm>
#include <climits>

namespace lumi::display {

void DirtyBands::reset(Size size) {
    size_ = size.width >= 0 && size.height >= 0 ? size : Size{};
    const int bands = (size_.height + kBandHeight - 1) / kBandHeight;
    left_.assign(static_cast<std::size_t>(bands), INT_MAX);
    right_.assign(static_cast<std::size_t>(bands), INT_MIN);
    firstBand_ = 0;
    lastBand_ = -1;
}

void DirtyBands::addSpan(int band, int left, int right) {
    const auto at = static_cast<std::size_t>(band);
    left_[at] = std::min(left_[at], left);
    right_[at] = std::max(right_[at], right);
    includeBands(band, band);
}

void DirtyBands::includeBands(int firstBand, int lastBand) {
    if (isEmpty()) {
        firstBand_ = firstBand;
        lastBand_ = lastBand;
        return;
    }
    firstBand_ = std::min(firstBand_, firstBand);
    lastBand_ = std::max(lastBand_, lastBand);
}

void DirtyBands::addRect(const Rect& rect) {
    const Rect inside = rect.intersected(Rect::fromSize({}, size_));
    if (inside.isEmpty()) {
        return;
    }
    for (int band = inside.top / kBandHeight; band <= inside.bottom / kBandHeight; ++band) {
        addSpan(band, inside.left, inside.right);
    }
}

void DirtyBands::addLine(Point from, Point to, const Rect& drawn) {
    const Rect inside = drawn.intersected(Rect::fromSize({}, size_));
    if (inside.isEmpty()) {
        return;
    }
    const double dy = double(to.y) - from.y;
    if (dy == 0) {
        addRect(inside);
        return;
    }
    // A pixel (x, y) of the line has its ideal point within half a pixel of it along the minor
    // axis, so the pixels of the rows top ... bottom lie between the ideal x at top - 1/2 and at
    // bottom + 1/2. Widening that by a pixel each side covers the half pixel by which a line
    // steeper than 45 degrees strays from its ideal x, and the rounding of the arithmetic here.
    const double slope = (double(to.x) - from.x) / dy;
    const auto idealX = [&](double y) { return from.x + (y - from.y) * slope; };
    const double leftLimit = inside.left;
    const double rightLimit = inside.right;
    const int firstBand = inside.top / kBandHeight;
    const int lastBand = inside.bottom / kBandHeight;
    double xTop = idealX(inside.top - 0.5);
    for (int band = firstBand; band <= lastBand; ++band) {
        const int bottom = std::min(inside.bottom, band * kBandHeight + kBandHeight - 1);
        const double xBottom = idealX(bottom + 0.5);
        // Truncation is at most one pixel off the floor or ceiling, so two pixels of margin
        // keep the span conservative.
        const double low = std::clamp(std::min(xTop, xBottom), leftLimit, rightLimit);
        const double high = std::clamp(std::max(xTop, xBottom), leftLimit, rightLimit);
        const auto at = static_cast<std::size_t>(band);
        left_[at] = std::min(left_[at], std::max(inside.left, static_cast<int>(low) - 2));
        right_[at] = std::max(right_[at], std::min(inside.right, static_cast<int>(high) + 2));
        xTop = xBottom;
    }
    includeBands(firstBand, lastBand);
}

Region DirtyBands::takeRegion() {
    Region region;
    for (int band = firstBand_; band <= lastBand_; ++band) {
        const auto at = static_cast<std::size_t>(band);
        if (left_[at] > right_[at]) {
            continue;
        }
        const int top = band * kBandHeight;
        const int bottom = std::min(size_.height - 1, top + kBandHeight - 1);
        region.push_back(Rect{left_[at], top, right_[at], bottom});
        left_[at] = INT_MAX;
        right_[at] = INT_MIN;
    }
    firstBand_ = 0;
    lastBand_ = -1;
    return region;
}

}  // namespace lumi::display
