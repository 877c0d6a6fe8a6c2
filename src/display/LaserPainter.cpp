#include "display/LaserPainter.h"

#include "display/LineRasteriser.h"

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
    QRect dirty;
    const QPoint originInImage = beamOrigin_ - canvasOrigin_;
    const auto draw = [&](QPoint target, QRgb color) {
        const QRect drawn = raster.drawLine(beamOrigin_, target, color);
        if (!drawn.isEmpty()) {
            dirty |= drawn;
            dirty_.addLine(originInImage, target - canvasOrigin_, drawn);
        }
    };
    int beamsLeft = qMax(1, maxBeams);
    const int targetX = offset_.x() + column_;

    if (phase_ == Phase::Colored) {
        if (column_ < width_) {
            const auto* pixel = reinterpret_cast<const QRgb*>(source_.constBits()) + column_;
            const qsizetype sourceStride = source_.bytesPerLine() / qsizetype(sizeof(QRgb));
            for (; row_ < height_ && beamsLeft > 0; ++row_, --beamsLeft) {
                draw(QPoint(targetX, row_ + offset_.y()), pixel[row_ * sourceStride] | kOpaque);
                ++coloredBeams_;
            }
            if (row_ < height_) {
                return dirty;
            }
        } else {
            coloredBeams_ += height_;  // the last column lies outside the source: no colour
        }
        phase_ = Phase::Erasing;
    }

    if (phase_ == Phase::Erasing) {
        if (beamsLeft == 0) {
            return dirty;
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
            return dirty;
        }
        phase_ = Phase::Closing;
        row_ = 0;
        if (!backColor_) {
            closingBeams_ += height_ + 1;
            row_ = height_ + 1;
        }
    }

    for (; row_ <= height_ && beamsLeft > 0; ++row_, --beamsLeft) {
        draw(QPoint(offset_.x() + width_, row_ + offset_.y()), *backColor_);
        ++closingBeams_;
    }
    if (row_ <= height_) {
        return dirty;
    }
    ++column_;
    finish();
    return dirty;
}

}  // namespace lumi::display
