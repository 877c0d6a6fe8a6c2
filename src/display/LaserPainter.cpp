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
}

void LaserPainter::abandon() {
    state_ = State::Idle;
    canvas_ = nullptr;
    source_ = QImage();
}

QRect LaserPainter::step() {
    if (state_ != State::Running) {
        return {};
    }
    // Without a canvas the steps still run and count their beams, which keeps the display's
    // timing; the rasteriser then has nothing to draw on.
    QImage noCanvas;
    LineRasteriser raster(canvas_ != nullptr ? *canvas_ : noCanvas, canvasOrigin_);
    raster.setClip(QRect(-canvasOrigin_, canvasSize(QSize(width_, height_))));
    QRect dirty;

    const int c = column_;
    const int targetX = offset_.x() + c;
    if (c < width_) {
        const auto* pixel = reinterpret_cast<const QRgb*>(source_.constBits()) + c;
        const qsizetype sourceStride = source_.bytesPerLine() / qsizetype(sizeof(QRgb));
        for (int r = 0; r < height_; ++r) {
            const QRgb color = pixel[r * sourceStride] | kOpaque;
            dirty |= raster.drawLine(beamOrigin_, QPoint(targetX, r + offset_.y()), color);
        }
    }
    coloredBeams_ += height_ + 1;  // the beams outside the source have no colour
    ++erasingBeams_;
    if (backColor_) {
        dirty |= raster.drawLine(beamOrigin_, QPoint(targetX, offset_.y() + height_), *backColor_);
    }

    ++column_;
    if (column_ <= width_) {
        return dirty;
    }
    closingBeams_ += height_ + 1;
    for (int r = 0; backColor_ && r <= height_; ++r) {
        const QPoint target(offset_.x() + width_, r + offset_.y());
        dirty |= raster.drawLine(beamOrigin_, target, *backColor_);
    }
    state_ = State::Finished;
    canvas_ = nullptr;
    source_ = QImage();
    return dirty;
}

}  // namespace lumi::display
