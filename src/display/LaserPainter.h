// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include "display/DirtyBands.h"
#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// The laser painting: builds a picture on the canvas by drawing straight beams from one
// point to every pixel position of the picture, column by column.
//
// Geometry. The picture (the "source", W x H pixels) sits in a hidden holder whose top-left
// corner is that of the visible canvas; the canvas is one pixel smaller, (W - 1) x (H - 1).
// Beams are drawn in canvas coordinates from `beamOrigin` to the target points
// (offset.x + c, offset.y + r). The source colour at (c, r) is "no colour" outside the
// source, and a beam in no colour draws nothing.
//
// Order. One step per column c = 0 ... W: the coloured beams to (c, r) for r = 0 ... H in the
// source colour at (c, r), then one erasing beam to (c, H) in the background colour. The step
// of the last column also draws the closing pass: beams to (W, r) for r = 0 ... H in the
// background colour. The display returns to its event loop between steps, and may split a
// column over several steps by limiting the beams of each: the beams, their order and the
// pixels they leave are the same however the columns are split. The canvas is not
// cleared first; beams paint over whatever is there. With the beam origin at (W, H) and no
// offset, a finished painting leaves the canvas equal to the source without its last column
// and last row.
//
// Pixels. Beams are drawn with LineRasteriser, so the result is exact and independent of the
// platform; the coloured beams of a step whose major axis is x go to it as one fan, which
// leaves the same pixels as drawing them one by one. Source colours are the colour channels of
// the source pixels; their alpha is ignored (the display flattens transparency before). The
// canvas receives opaque 0xffRRGGBB pixels.
//
// The canvas pixels may hold only a part of the canvas (the part on the screen); the painter
// draws only what falls into that part and into the canvas rectangle. The painter owns no
// pixels: the source and the canvas are views of the caller's memory.
class LaserPainter {
public:
    // The size of the visible canvas for a source of `sourceSize`.
    static Size canvasSize(Size sourceSize);

    // Begins a painting, abandoning the running one if any. The source pixels are read by the
    // steps that follow, so they must stay in place and unchanged until the painting finishes or
    // is abandoned, and must not be the canvas's own. `canvas` holds the canvas pixels whose
    // top-left pixel is at `canvasOrigin` in canvas coordinates, under the same terms; a canvas
    // without pixels receives nothing, while the steps still run and count their beams.
    // `backColor` is the background colour of the erasing and closing beams; nothing means "no
    // colour", and those beams then draw nothing.
    void start(const ConstPixelBuffer& source, const PixelBuffer& canvas, Point canvasOrigin,
               Point beamOrigin, Point offset, std::optional<Rgb> backColor);

    // Points the running painting at other canvas pixels, for a display that replaced or moved
    // its offscreen image between two steps. The dirty region starts over, clean.
    void setCanvas(const PixelBuffer& canvas, Point canvasOrigin);

    // The beam limit of a step that paints the rest of its column.
    static constexpr int kWholeColumn = INT_MAX;

    // Paints the beams that follow in the order above, at most `maxBeams` (at least one) and
    // never past the end of the current column; the step that ends the last column also draws
    // the closing pass, within the same limit. Returns a rectangle, in canvas-image coordinates,
    // that holds every pixel the step wrote (the union of the beams' bounding boxes). Empty if
    // the step wrote nothing or no painting runs. The pixels written are also collected for
    // takeDirtyRegion().
    Rect step(int maxBeams = kWholeColumn);

    // The canvas-image pixels written since start(), setCanvas() or the last call, as a region
    // of few rectangles that follows the outline of the beams rather than their bounding boxes;
    // the part of the screen to repaint.
    Region takeDirtyRegion() { return dirty_.takeRegion(); }

    // Stops the running painting for good: later steps do nothing until the next start().
    void abandon();

    // A painting has been started and has steps left.
    bool running() const { return state_ == State::Running; }
    // The last started painting drew all its steps (false after abandon()).
    bool finished() const { return state_ == State::Finished; }

    // The column the next step paints: 0 after start(), W + 1 when finished. It moves on when
    // the last beam of its column has been drawn.
    int column() const { return column_; }
    // The number of steps of the current painting: W + 1.
    int stepCount() const { return width_ + 1; }

    // Beams handed to the rasteriser since start(), including those in "no colour", counted as
    // they are drawn.
    std::int64_t coloredBeams() const { return coloredBeams_; }
    std::int64_t erasingBeams() const { return erasingBeams_; }
    std::int64_t closingBeams() const { return closingBeams_; }

private:
    enum class State { Idle, Running, Finished };
    // Where the current column stands: its coloured beams (row_ is the next one), its erasing
    // beam, or the closing pass after the last column (row_ is the next closing beam).
    enum class Phase { Colored, Erasing, Closing };

    // The beams of one step that drew something: all end on one canvas column.
    struct FanRecord {
        int firstRow = INT_MAX;  // the least and greatest target row, in canvas coordinates
        int lastRow = INT_MIN;
        Rect drawn;  // the union of the beams' bounding boxes, in canvas-image coordinates

        void add(int row, const Rect& beam) {
            firstRow = std::min(firstRow, row);
            lastRow = std::max(lastRow, row);
            drawn = drawn.united(beam);
        }
    };

    void finish();
    // Adds the pixels of a step's fan to the dirty bands, at a cost independent of its beams.
    void recordFan(const FanRecord& fan, int targetX);

    State state_ = State::Idle;
    ConstPixelBuffer source_;
    PixelBuffer canvas_;
    Point canvasOrigin_;
    Point beamOrigin_;
    Point offset_;
    std::optional<Rgb> backColor_;
    int width_ = 0;
    int height_ = 0;
    int column_ = 0;
    Phase phase_ = Phase::Colored;
    int row_ = 0;
    DirtyBands dirty_;
    std::vector<Rgb> fanColors_;  // the colours of a step's fan, reused from step to step
    std::int64_t coloredBeams_ = 0;
    std::int64_t erasingBeams_ = 0;
    std::int64_t closingBeams_ = 0;
};

}  // namespace lumi::display
