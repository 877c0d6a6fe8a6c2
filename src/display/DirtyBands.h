// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "display/Geometry.h"

namespace lumi::display {

// The pixels of an image that changed since the display last repainted, kept as one span of
// columns per band of kBandHeight rows. A straight line adds, in every band it crosses, the
// columns where it can have pixels there, computed from its end points at the cost of a few
// operations per band and none per pixel. The result is a region of at most one rectangle per
// band: it holds every pixel added, and for a fan of beams it follows the fan's outline instead
// of its bounding box, to within a band's height of slope and one column either side.
class DirtyBands {
public:
    static constexpr int kBandHeight = 32;

    // Starts over, clean, for an image of `size`.
    void reset(Size size);

    // Adds the pixels that LineRasteriser writes for the line from `from` to `to`, both in image
    // coordinates (they may lie far outside the image), within `drawn`: the rectangle that
    // drawLine() returned, or any rectangle of the line's rows that holds it. In each band the
    // line's span is held to the columns of `drawn` rather than dropped when it lies beside
    // them. Nothing is added for an empty `drawn`.
    void addLine(Point from, Point to, const Rect& drawn);

    // Adds every pixel of `rect` (image coordinates) that lies in the image.
    void addRect(const Rect& rect);

    bool isEmpty() const { return firstBand_ > lastBand_; }

    // The changed pixels as a region of image coordinates, one rectangle per dirty band from
    // the top band down; the bands are clean afterwards.
    Region takeRegion();

private:
    // Widens [firstBand_, lastBand_] to take in the bands from firstBand to lastBand.
    void includeBands(int firstBand, int lastBand);

    void addSpan(int band, int left, int right);

    Size size_;
    std::vector<int> left_;  // per band; left_ > right_ when the band is clean
    std::vector<int> right_;
    int firstBand_ = 0;  // the dirty bands lie within [firstBand_, lastBand_]
    int lastBand_ = -1;
};

}  // namespace lumi::display
