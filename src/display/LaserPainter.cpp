// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/LaserPainter.h"

#include <cstdlib>

#include "display/LineRasteriser.h"

namespace lumi::display {

namespace {

constexpr Rgb kOpaque = 0xff000000u;

}  // namespace

Size LaserPainter::canvasSize(Size sourceSize) {
    return {std::max(0, sourceSize.width - 1), std::max(0, sourceSize.height - 1)};
}

void LaserPainter::start(const ConstPixelBuffer& source, const PixelBuffer& canvas,
                         Point canvasOrigin, Point beamOrigin, Point offset,
                         std::optional<Rgb> backColor) {
    abandon();
    source_ = source.isNull() ? ConstPixelBuffer() : source;
    width_ = source_.width;
    height_ = source_.height;
    beamOrigin_ = beamOrigin;
    offset_ = offset;
    backColor_ = backColor ? std::optional<Rgb>(*backColor | kOpaque) : std::nullopt;
    column_ = 0;
    phase_ = Phase::Colored;
    row_ = 0;
    coloredBeams_ = 0;
    erasingBeams_ = 0;
    closingBeams_ = 0;
    state_ = State::Running;
    setCanvas(canvas, canvasOrigin);
}

void LaserPainter::setCanvas(const PixelBuffer& canvas, Point canvasOrigin) {
    canvas_ = canvas.isNull() ? PixelBuffer() : canvas;
    canvasOrigin_ = canvasOrigin;
    dirty_.reset({canvas_.width, canvas_.height});
}

void LaserPainter::abandon() {
    state_ = State::Idle;
    canvas_ = {};
    source_ = {};
}

void LaserPainter::finish() {
    state_ = State::Finished;
    canvas_ = {};
    source_ = {};
}

Rect LaserPainter::step(int maxBeams) {
    if (state_ != State::Running) {
        return {};
    }
    // Without a canvas the steps still run and count their beams, which keeps the display's
    // timing; the rasteriser then has nothing to draw on.
    LineRasteriser raster(canvas_, canvasOrigin_);
    raster.setClip(Rect::fromSize(-canvasOrigin_, canvasSize({width_, height_})));
    // Every beam of a step ends on one canvas column, so the beams that drew something form
    // one fan; only its first and last target rows are kept, and the fan is recorded once,
    // when the step returns.
    FanRecord fan;
    const auto draw = [&](Point target, Rgb color) {
        const Rect drawn = raster.drawLine(beamOrigin_, target, color);
        if (!drawn.isEmpty()) {
            fan.add(target.y, drawn);
        }
    };
    int beamsLeft = std::max(1, maxBeams);
    // The last column and the closing pass share this column: offset.x + W.
    const int targetX = offset_.x + column_;
    const auto done = [&] {
        recordFan(fan, targetX);
        return fan.drawn;
    };

    if (phase_ == Phase::Colored) {
        if (column_ < width_) {
            const Rgb* pixel = source_.bits + column_;
            const std::ptrdiff_t sourceStride = source_.stride;
            const int end = row_ + std::min(height_ - row_, beamsLeft);
            const int begin = row_;
            // The beams whose major axis is x share their length along x: they are drawn as
            // one fan, between those before and after them drawn one by one.
            const std::int64_t reach = std::abs(std::int64_t{targetX} - beamOrigin_.x);
            const std::int64_t centre = std::int64_t{beamOrigin_.y} - offset_.y;  // maybe outside
            const int fanFirst =
                reach == 0 ? end
                           : static_cast<int>(std::clamp(centre - reach, std::int64_t{row_},
                                                         std::int64_t{end}));
            const int fanEnd =
                reach == 0 ? end
                           : static_cast<int>(std::clamp(centre + reach + 1,
                                                         std::int64_t{fanFirst}, std::int64_t{end}));
            const auto drawOneByOne = [&](int stop) {
                for (; row_ < stop; ++row_) {
                    draw(Point{targetX, row_ + offset_.y}, pixel[row_ * sourceStride] | kOpaque);
                }
            };
            drawOneByOne(fanFirst);
            if (fanFirst < fanEnd) {
                fanColors_.resize(static_cast<std::size_t>(fanEnd - fanFirst));
                for (int row = fanFirst; row < fanEnd; ++row) {
                    fanColors_[static_cast<std::size_t>(row - fanFirst)] =
                        pixel[row * sourceStride] | kOpaque;
                }
                const LineRasteriser::FanDrawn drawn =
                    raster.drawFan(beamOrigin_, targetX, fanFirst + offset_.y, fanColors_.data(),
                                   fanEnd - fanFirst);
                if (drawn.firstBeam >= 0) {
                    fan.add(fanFirst + drawn.firstBeam + offset_.y, drawn.drawn);
                    fan.add(fanFirst + drawn.lastBeam + offset_.y, drawn.drawn);
                }
                row_ = fanEnd;
            }
            drawOneByOne(end);
            coloredBeams_ += end - begin;
            beamsLeft -= end - begin;
            if (row_ < height_) {
                return done();
            }
        } else {
            coloredBeams_ += height_;  // the last column lies outside the source: no colour
        }
        phase_ = Phase::Erasing;
    }

    if (phase_ == Phase::Erasing) {
        if (beamsLeft == 0) {
            return done();
        }
        ++coloredBeams_;  // the beam to (c, H), outside the source
        ++erasingBeams_;
        if (backColor_) {
            draw(Point{targetX, offset_.y + height_}, *backColor_);
            --beamsLeft;
        }
        if (column_ < width_) {
            ++column_;
            phase_ = Phase::Colored;
            row_ = 0;
            return done();
        }
        phase_ = Phase::Closing;
        row_ = 0;
        if (!backColor_) {
            closingBeams_ += height_ + 1;
            row_ = height_ + 1;
        }
    }

    for (; row_ <= height_ && beamsLeft > 0; ++row_, --beamsLeft) {
        draw(Point{targetX, row_ + offset_.y}, *backColor_);
        ++closingBeams_;
    }
    if (row_ <= height_) {
        return done();
    }
    ++column_;
    finish();
    return done();
}

void LaserPainter::recordFan(const FanRecord& fan, int targetX) {
    if (fan.drawn.isEmpty()) {
        return;
    }
    // The beams from one origin to the targets (targetX, firstRow ... lastRow) lie in the
    // triangle of the origin and the two outer targets. Within any band of rows, a convex shape
    // reaches no further left or right than its edges do there, and the part of it within the
    // drawn columns reaches exactly as far as those extents held to the drawn columns. So the
    // two outer beams and the column between them, each over its own rows and held to the
    // drawn box, give the fan's outline; the margin that covers one line's rounding covers the
    // rounding of the beams between them as well.
    const Rect& box = fan.drawn;
    const Point origin = beamOrigin_ - canvasOrigin_;
    const Point first = Point{targetX, fan.firstRow} - canvasOrigin_;
    const Point last = Point{targetX, fan.lastRow} - canvasOrigin_;
    // The rows from `top` to `bottom` that the box holds, across the box's columns.
    const auto rowsInBox = [&](int top, int bottom) {
        return Rect{box.left, std::max(top, box.top), box.right, std::min(bottom, box.bottom)};
    };
    for (const Point target : {first, last}) {
        dirty_.addLine(origin, target,
                       rowsInBox(std::min(origin.y, target.y), std::max(origin.y, target.y)));
    }
    const Rect columnRows = rowsInBox(first.y, last.y);
    if (!columnRows.isEmpty()) {
        const int x = std::clamp(first.x, box.left, box.right);
        dirty_.addRect(Rect{x, columnRows.top, x, columnRows.bottom});
    }
}

}  // namespace lumi::display
