// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/Canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumi::display {

namespace {

// Moves every pixel of `image` by `offset` within the image; where no pixel moves in, the
// image turns black. Works in place, so a canvas that keeps its size keeps its memory: a
// fresh screen-sized image costs thousands of page faults when it is first filled.
void shiftPixels(QImage& image, QPoint offset) {
    const int width = image.width();
    const int height = image.height();
    const int dx = offset.x();
    const int dy = offset.y();
    const QRgb black = qRgb(0, 0, 0);
    const int moved = std::max(0, width - std::abs(dx));  // pixels that stay in each row
    const int firstMoved = std::max(0, dx);               // where they land
    // Rows move downwards from the bottom up and upwards from the top down, so that no row
    // is overwritten before it has moved.
    for (int i = 0; i < height; ++i) {
        const int y = dy > 0 ? height - 1 - i : i;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int sourceY = y - dy;
        if (sourceY < 0 || sourceY >= height || moved == 0) {
            std::fill(row, row + width, black);
            continue;
        }
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(sourceY));
        std::memmove(row + firstMoved, source + std::max(0, -dx), sizeof(QRgb) * moved);
        std::fill(row, row + firstMoved, black);
        std::fill(row + firstMoved + moved, row + width, black);
    }
}

}  // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void Canvas::place(const QRect& geometry, const QRect& visibleArea) {
    const QRect visible = geometry.intersected(visibleArea);
    const QPoint newOrigin = visible.isEmpty() ? QPoint() : visible.topLeft() - geometry.topLeft();
    if (!image_.isNull() && image_.size() == visible.size()) {
        if (newOrigin != imageOrigin_) {
            shiftPixels(image_, imageOrigin_ - newOrigin);
        }
        imageOrigin_ = newOrigin;
        setGeometry(geometry);
        update();
        return;
    }
    QImage newImage(visible.size(), QImage::Format_RGB32);
    newImage.fill(Qt::black);
    if (!image_.isNull() && !newImage.isNull()) {
        // Canvas coordinates are kept: pixel (x, y) of the old canvas stays at (x, y).
        QPainter painter(&newImage);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(imageOrigin_ - newOrigin, image_);
    }
    image_ = std::move(newImage);
    imageOrigin_ = newOrigin;
    setGeometry(geometry);
    update();
}

void Canvas::paintEvent(QPaintEvent* event) {
    // Each pixel of the region is painted once: from the offscreen image where it has pixels,
    // black where the canvas lies off the screen.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect imageArea = image_.rect().translated(imageOrigin_);
    for (const QRect& rect : event->region()) {
        const QRect source = rect.intersected(imageArea);
        if (!source.isEmpty()) {
            painter.drawImage(source.topLeft(), image_, source.translated(-imageOrigin_));
        }
    }
    for (const QRect& rect : event->region().subtracted(QRegion(imageArea))) {
        painter.fillRect(rect, Qt::black);
    }
}

}  // namespace lumi::display
