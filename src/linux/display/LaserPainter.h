// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QRgb>
#include <QSize>

#include <climits>
#include <optional>
#include <vector>

#include "linux/display/DirtyBands.h"

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
// leaves the same pixels as drawing them one by one. Source colours are read from a copy converted once to Format_RGB32, which keeps
// the colour channels and ignores alpha (the display flattens transparency before). The
// canvas receives opaque 0xffRRGGBB pixels.
//
// The canvas image may hold only a part of the canvas (the part on the screen); the painter
// draws only what falls into that part and into the canvas rectangle.
class LaserPainter {
public:
    // The size of the visible canvas for a source of `sourceSize`.
    static QSize canvasSize(QSize sourceSize);

    // Begins a painting, abandoning the running one if any. The source and its size are taken
    // now; later changes to the caller's image do not reach the painting. `canvas` must have 32
    // bits per pixel (it is converted to Format_RGB32 if not); it holds the canvas pixels whose
    // top-left pixel is at `canvasOrigin` in canvas coordinates. The canvas must stay alive until
    // the painting finishes or is abandoned. `backColor` is the background colour of the erasing
    // and closing beams; nothing means "no colour", and those beams then draw nothing.
    void start(const QImage& source, QImage* canvas, QPoint canvasOrigin, QPoint beamOrigin,
               QPoint offset, std::optional<QRgb> backColor);

    // Points the running painting at other canvas pixels, for a display that replaced or moved
    // its offscreen image between two steps.
    void setCanvas(QImage* canvas, QPoint canvasOrigin);

    // The beam limit of a step that paints the rest of its column.
    static constexpr int kWholeColumn = INT_MAX;

    // Paints the beams that follow in the order above, at most `maxBeams` (at least one) and
    // never past the end of the current column; the step that ends the last column also draws
    // the closing pass, within the same limit. Returns a rectangle, in canvas-image coordinates,
    // that holds every pixel the step wrote (the union of the beams' bounding boxes). Empty if
    // the step wrote nothing or no painting runs. Each step writes through canvas->bits(),
    // which detaches the canvas image if it is shared. The pixels written are also collected
    // for takeDirtyRegion().
    QRect step(int maxBeams = kWholeColumn);

    // The canvas-image pixels written since start(), setCanvas() or the last call, as a region
    // of few rectangles that follows the outline of the beams rather than their bounding boxes;
    // the part of the screen to repaint.
    QRegion takeDirtyRegion() { return dirty_.takeRegion(); }

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
    qint64 coloredBeams() const { return coloredBeams_; }
    qint64 erasingBeams() const { return erasingBeams_; }
    qint64 closingBeams() const { return closingBeams_; }

private:
    enum class State { Idle, Running, Finished };
    // Where the current column stands: its coloured beams (row_ is the next one), its erasing
    // beam, or the closing pass after the last column (row_ is the next closing beam).
    enum class Phase { Colored, Erasing, Closing };

    // The beams of one step that drew something: all end on one canvas column.
    struct FanRecord {
        int firstRow = INT_MAX;  // the least and greatest target row, in canvas coordinates
        int lastRow = INT_MIN;
        QRect drawn;  // the union of the beams' bounding boxes, in canvas-image coordinates

        void add(int row, const QRect& beam) {
            firstRow = qMin(firstRow, row);
            lastRow = qMax(lastRow, row);
            drawn |= beam;
        }
    };

    void finish();
    // Adds the pixels of a step's fan to the dirty bands, at a cost independent of its beams.
    void recordFan(const FanRecord& fan, int targetX);

    State state_ = State::Idle;
    QImage source_;  // Format_RGB32
    QImage* canvas_ = nullptr;
    QPoint canvasOrigin_;
    QPoint beamOrigin_;
    QPoint offset_;
    std::optional<QRgb> backColor_;
    int width_ = 0;
    int height_ = 0;
    int column_ = 0;
    Phase phase_ = Phase::Colored;
    int row_ = 0;
    DirtyBands dirty_;
    std::vector<QRgb> fanColors_;  // the colours of a step's fan, reused from step to step
    qint64 coloredBeams_ = 0;
    qint64 erasingBeams_ = 0;
    qint64 closingBeams_ = 0;
};

}  // namespace lumi::display
