// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>

#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// Draws one-pixel-wide straight lines between integer end points directly into 32-bit
// pixels. The laser painting draws hundreds of thousands of lines
// per picture, so this is its inner loop.
//
// Which pixels a line covers. Let the major axis be x when |dx| >= |dy| and y otherwise. The
// line covers exactly one pixel for every major coordinate from one end point to the other,
// both end points included. Its minor coordinate is the one of the ideal segment at that major
// coordinate, rounded to the nearest integer; an exact half rounds up, to the larger
// coordinate. A line therefore depends on nothing but its two end points: drawing it from B to
// A covers the same pixels as from A to B, and moving both end points moves the pixels by the
// same amount. A line whose end points coincide is that single pixel.
//
// Clipping. Only pixels inside the clip rectangle are written, and they are exactly the ones
// the whole line covers there, as if the line were drawn on an endless image and cropped: the
// first visible pixel comes from the integer line equation, not from a walk towards the clip.
// A line that misses the clip rectangle costs a few comparisons and divisions however long it
// is; one that crosses it costs that plus one step per visible pixel.
//
// End points are given in "line coordinates"; `origin` is the line coordinate of image pixel
// (0, 0). This lets the image hold only a part of a larger canvas. All coordinates must lie
// within +-2^29 of each other, which keeps the integer arithmetic exact.
class LineRasteriser {
public:
    // The rasteriser writes into the pixels of `image` until it is destroyed; they must stay
    // in place until then. The clip rectangle starts as the whole image, and is empty for a
    // buffer without pixels.
    explicit LineRasteriser(const PixelBuffer& image, Point origin = {});

    // Restricts drawing to `clip` (image coordinates), intersected with the image.
    void setClip(const Rect& clip);
    Rect clip() const { return clip_; }

    // Draws the line from `from` to `to` (line coordinates) in `color`, stored into the pixels
    // as it is (an opaque image wants its top byte 0xff). Returns the bounding rectangle of the
    // pixels written, in image coordinates; an empty rectangle if none.
    Rect drawLine(Point from, Point to, Rgb color);

    // What drawFan() wrote: the bounding rectangle of the pixels of all its beams (image
    // coordinates), and the first and last beam (by index) that has a pixel inside the clip;
    // an empty rectangle and -1 for both if none has.
    struct FanDrawn {
        Rect drawn;
        int firstBeam = -1;
        int lastBeam = -1;
    };

    // Draws `count` beams from `from` to (targetX, firstY + i), i = 0 ... count - 1 in this
    // order, beam i in colors[i]: the pixels left are exactly those of the same drawLine()
    // calls, and `drawn` is the union of what they would return. The beams share their
    // origin and their length along x, so the fan is filled column by column, each pixel once
    // with the colour of the last beam that covers it, rather than beam by beam with most
    // pixels painted over many times. Every beam must have x as its major axis:
    // targetX != from.x and |firstY + i - from.y| <= |targetX - from.x|.
    FanDrawn drawFan(Point from, int targetX, int firstY, const Rgb* colors, int count);

    // The number of pixels that a drawLine() call wrote, given the rectangle it returned:
    // one per major coordinate.
    static int pixelCount(const Rect& drawn) {
        return drawn.isEmpty() ? 0 : std::max(drawn.width(), drawn.height());
    }

private:
    Rgb* bits_ = nullptr;
    std::ptrdiff_t stride_ = 0;  // in pixels
    Rect bounds_;                // the whole image
    Rect clip_;
    Point origin_;
};

}  // namespace lumi::display
