// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// The canvas `Pic2` keeps its pixels when it is resized or moved, as a picture box does: a
// pixel stays at its canvas coordinate, and pixels that come into view are black. The
// editions keep the canvas's offscreen pixels (only the part on the screen) in memory of
// their own and move them with these two.

inline constexpr Rgb kCanvasBlack = 0xff000000;

// Moves every pixel of `pixels` by `offset` within the buffer; where no pixel moves in, the
// buffer turns black. Works in place, so that a canvas that keeps its size keeps its memory.
void shiftPixels(const PixelBuffer& pixels, Point offset);

// Fills `to`, whose top-left pixel stands at canvas point `toOrigin`, with the pixels of
// `from`, whose top-left pixel stands at `fromOrigin`, where the two overlap, and black
// elsewhere.
void copyCanvasPixels(const ConstPixelBuffer& from, Point fromOrigin, const PixelBuffer& to,
                      Point toOrigin);

}  // namespace lumi::display
