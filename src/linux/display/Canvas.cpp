// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/Canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include "display/CanvasPixels.h"
#include "linux/display/CorePixels.h"

namespace lumi::display {

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
            shiftPixels(pixelsOf(image_), toPoint(imageOrigin_ - newOrigin));
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
