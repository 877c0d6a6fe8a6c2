#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include "display/Canvas.h"

namespace lumi::display {
namespace {

constexpr QRgb kUntouched = 0xff123456u;

// A repaint writes each pixel of its region once, from the offscreen image where the canvas
// has pixels and black where it lies off the screen, and nothing outside the region.
TEST(CanvasTest, RepaintWritesExactlyItsRegion) {
    QWidget parent;
    parent.resize(20, 20);
    Canvas canvas(&parent);
    // A 12 x 10 canvas at (-4, 3): only its part from canvas column 4 on has pixels.
    canvas.place(QRect(-4, 3, 12, 10), QRect(0, 0, 20, 20));
    ASSERT_EQ(canvas.imageOrigin(), QPoint(4, 0));
    for (int y = 0; y < canvas.image().height(); ++y) {
        for (int x = 0; x < canvas.image().width(); ++x) {
            canvas.image().setPixel(x, y, qRgb(10 * x, 20 * y, 99));
        }
    }
    const QRegion region = QRegion(1, 1, 6, 2) + QRegion(5, 6, 7, 4);

    QImage target(canvas.size(), QImage::Format_RGB32);
    target.fill(kUntouched);
    // render() puts the top-left corner of the region's bounding rectangle at the offset.
    canvas.render(&target, region.boundingRect().topLeft(), region, QWidget::RenderFlags());

    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            QRgb expected = kUntouched;
            if (region.contains(QPoint(x, y))) {
                expected = x < 4 ? qRgb(0, 0, 0) : canvas.image().pixel(x - 4, y);
            }
            ASSERT_EQ(target.pixel(x, y), expected) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace lumi::display
