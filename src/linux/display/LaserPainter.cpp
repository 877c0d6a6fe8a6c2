// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/LaserPainter.h"

#include "linux/display/LineRasteriser.h"

namespace lumi::display {

namespace {

constexpr QRgb kOpaque = 0xff000000u;

// The source as RGB32 pixels; Qt's conversion keeps the colour channels and drops alpha. An
// RGB32 source is shared, not copied.
QImage sourcePixels(const QImage& source) {
    return source.format() == QImage::Format_RGB32 ? source
                                                   : source.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QSize LaserPainter::canvasSize(QSize sourceSize) {
    return QSize(qMax(0, sourceSize.width() - 1), qMax(0, sourceSize.height() - 1));
}

void LaserPainter::start(const QImage& source, QImage* canvas, QPoint canvasOrigin,
                         QPoint beamOrigin, QPoint offset, std::optional<QRgb> backColor) {
    abandon();
    source_ = sourcePixels(source);
    width_ = source_.width();
    height_ = source_.height();
    beamOrigin_ = beamOrigin;
    offset_ = offset;
    backColor_ = backColor ? std::optional<QRgb>(*backColor | kOpaque) : std::nullopt;
    column_ = 0;
    phase_ = Phase::Colored;
    row_ = 0;
    coloredBeams_ = 0;
    erasingBeams_ = 0;
    closingBeams_ = 0;
    state_ = State::Running;
    setCanvas(canvas, canvasOrigin);
}

void LaserPainter::setCanvas(QImage* canvas, QPoint canvasOrigin) {
    canvas_ = canvas;
    canvasOrigin_ = canvasOrigin;
    if (canvas_ != nullptr && !canvas_->isNull() && canvas_->depth() != 32) {
        *canvas_ = canvas_->convertToFormat(QImage::Format_RGB32);
    }
    dirty_.reset(canvas_ != nullptr ? canvas_->size() : QSize());
}

void LaserPainter::abandon() {
    state_ = State::Idle;
    canvas_ = nullptr;
    source_ = QImage();
}

void LaserPainter::finish() {
    state_ = State::Finished;
    canvas_ = nullptr;
    source_ = QImage();
}

QRect LaserPainter::step(int maxBeams) {
    if (state_ != State::Running) {
        return {};
    }
    // Without a canvas the steps still run and count their beams, which keeps the display's
    // timing; the rasteriser then has nothing to draw on.
    QImage noCanvas;
    LineRasteriser raster(canvas_ != nullptr ? *canvas_ : noCanvas, canvasOrigin_);
    raster.setClip(QRect(-canvasOrigin_, canvasSize(QSize(width_, height_))));
    // Every beam of a step ends on one canvas column, so the beams that drew something form
    // one fan; only its first and last target rows are kept, and the fan is recorded once,
    // when the step returns.
    FanRecord fan;
    const auto draw = [&](QPoint target, QRgb color) {
        const QRect drawn = raster.drawLine(beamOrigin_, target, color);
        if (!drawn.isEmpty()) {
            fan.add(target.y(), drawn);
        }
    };
    int beamsLeft = qMax(1, maxBeams);
    // The last column and the closing pass share this column: offset.x + W.
    const int targetX = offset_.x() + column_;
    const auto done = [&] {
        recordFan(fan, targetX);
        return fan.drawn;
    };

    if (phase_ == Phase::Colored) {
        if (column_ < width_) {
            const auto* pixel = reinterpret_cast<const QRgb*>(source_.constBits()) + column_;
            const qsizetype sourceStride = source_.bytesPerLine() / qsizetype(sizeof(QRgb));
            const int end = row_ + qMin(height_ - row_, beamsLeft);
            const int begin = row_;
            // The beams whose major axis is x share their length along x: they are drawn as
            // one fan, between those before and after them drawn one by one.
            const qint64 reach = qAbs(qint64{targetX} - beamOrigin_.x());
            const qint64 centre = qint64{beamOrigin_.y()} - offset_.y();  // a row, maybe outside
            const int fanFirst =
                reach == 0 ? end : static_cast<int>(qBound(qint64{row_}, centre - reach, qint64{end}));
            const int fanEnd =
                reach == 0 ? end
                           : static_cast<int>(qBound(qint64{fanFirst}, centre + reach + 1, qint64{end}));
            const auto drawOneByOne = [&](int stop) {
                for (; row_ < stop; ++row_) {
                    draw(QPoint(targetX, row_ + offset_.y()), pixel[row_ * sourceStride] | kOpaque);
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
                    raster.drawFan(beamOrigin_, targetX, fanFirst + offset_.y(), fanColors_.data(),
                                   fanEnd - fanFirst);
                if (drawn.firstBeam >= 0) {
                    fan.add(fanFirst + drawn.firstBeam + offset_.y(), drawn.drawn);
                    fan.add(fanFirst + drawn.lastBeam + offset_.y(), drawn.drawn);
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
            draw(QPoint(targetX, offset_.y() + height_), *backColor_);
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
        draw(QPoint(targetX, row_ + offset_.y()), *backColor_);
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
    const QRect& box = fan.drawn;
    const QPoint origin = beamOrigin_ - canvasOrigin_;
    const QPoint first = QPoint(targetX, fan.firstRow) - canvasOrigin_;
    const QPoint last = QPoint(targetX, fan.lastRow) - canvasOrigin_;
    // The rows from `top` to `bottom` that the box holds, across the box's columns.
    const auto rowsInBox = [&](int top, int bottom) {
        return QRect(QPoint(box.left(), qMax(top, box.top())),
                     QPoint(box.right(), qMin(bottom, box.bottom())));
    };
    for (const QPoint target : {first, last}) {
        dirty_.addLine(origin, target,
                       rowsInBox(qMin(origin.y(), target.y()), qMax(origin.y(), target.y())));
    }
    const QRect columnRows = rowsInBox(first.y(), last.y());
    if (!columnRows.isEmpty()) {
        const int x = qBound(box.left(), first.x(), box.right());
        dirty_.addRect(QRect(x, columnRows.top(), 1, columnRows.height()));
    }
}

}  // namespace lumi::display
