// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include "display/FitToScreen.h"
#include "display/Geometry.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// The Linux edition's edge to the core's geometry and pixels. The core's rectangles have the
// inclusive edges of QRect, so a rectangle converts edge for edge, empty ones included.

inline Point toPoint(QPoint point) { return {point.x(), point.y()}; }
inline QPoint toQPoint(Point point) { return {point.x, point.y}; }
inline Size toSize(QSize size) { return {size.width(), size.height()}; }
inline QSize toQSize(Size size) { return {size.width, size.height}; }
inline Rect toRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.right(), rect.bottom()};
}
inline QRect toQRect(const Rect& rect) {
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom));
}
inline QRegion toQRegion(const Region& region) {
    QRegion result;
    for (const Rect& rect : region) {
        result += toQRect(rect);
    }
    return result;
}

// fittedSize() for Qt's sizes.
inline QSize fittedSize(QSize picture, QSize bound) {
    return toQSize(fittedSize(toSize(picture), toSize(bound)));
}

// The pixels of `image` itself, to be written in place: no copy. The image is detached first
// if it shares its pixels, and the view stays valid until the image is changed, replaced or
// shared again. An image that is null or has other than 32 bits per pixel gives a buffer
// without pixels.
inline PixelBuffer pixelsOf(QImage& image) {
    if (image.isNull() || image.depth() != 32) {
        return {};
    }
    return {reinterpret_cast<Rgb*>(image.bits()), image.width(), image.height(),
            image.bytesPerLine() / static_cast<qsizetype>(sizeof(Rgb))};
}

// The pixels of `image` to be read, without a copy or a detach; valid while the image lives
// unchanged.
inline ConstPixelBuffer constPixelsOf(const QImage& image) {
    if (image.isNull() || image.depth() != 32) {
        return {};
    }
    return {reinterpret_cast<const Rgb*>(image.constBits()), image.width(), image.height(),
            image.bytesPerLine() / static_cast<qsizetype>(sizeof(Rgb))};
}

}  // namespace lumi::display
