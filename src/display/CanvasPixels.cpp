// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/CanvasPixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumi::display {

void shiftPixels(const PixelBuffer& pixels, Point offset) {
    if (pixels.isNull()) {
        return;
    }
    const int width = pixels.width;
    const int height = pixels.height;
    const int moved = std::max(0, width - std::abs(offset.x));  // pixels that stay in a row
    const int firstMoved = std::max(0, offset.x);                // where they land
    // Rows move downwards from the bottom up and upwards from the top down, so that no row
    // is overwritten before it has moved.
    for (int i = 0; i < height; ++i) {
        const int y = offset.y > 0 ? height - 1 - i : i;
        Rgb* row = pixels.row(y);
        const int sourceY = y - offset.y;
        if (sourceY < 0 || sourceY >= height || moved == 0) {
            std::fill(row, row + width, kCanvasBlack);
            continue;
        }
        const Rgb* source = pixels.row(sourceY);
        std::memmove(row + firstMoved, source + std::max(0, -offset.x), sizeof(Rgb) * moved);
        std::fill(row, row + firstMoved, kCanvasBlack);
        std::fill(row + firstMoved + moved, row + width, kCanvasBlack);
    }
}

void copyCanvasPixels(const ConstPixelBuffer& from, Point fromOrigin, const PixelBuffer& to,
                      Point toOrigin) {
    if (to.isNull()) {
        return;
    }
    for (int y = 0; y < to.height; ++y) {
        std::fill(to.row(y), to.row(y) + to.width, kCanvasBlack);
    }
    if (from.isNull()) {
        return;
    }
    const Rect target = Rect::fromSize(toOrigin, {to.width, to.height});
    const Rect overlap = Rect::fromSize(fromOrigin, {from.width, from.height}).intersected(target);
    for (int y = overlap.top; y <= overlap.bottom; ++y) {
        const Rgb* source = from.row(y - fromOrigin.y) + (overlap.left - fromOrigin.x);
        std::copy(source, source + overlap.width(), to.row(y - toOrigin.y) + (overlap.left - toOrigin.x));
    }
}

}  // namespace lumi::display
