// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include "linux/display/Canvas.h"

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

struct PlaceCase {
    const char* name;
    QRect first;   // geometry of the canvas before
    QRect second;  // and after
};

class CanvasPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

// Placing the canvas again keeps each pixel at its canvas coordinate, black where the old
// canvas had none, whether the offscreen image keeps its size (and is reused) or not.
TEST_P(CanvasPlaceTest, KeepsEachPixelAtItsCanvasCoordinate) {
    const QRect screen(0, 0, 10, 8);
    QWidget parent;
    parent.resize(screen.size());
    Canvas canvas(&parent);
    canvas.place(GetParam().first, screen);
    const QPoint oldOrigin = canvas.imageOrigin();
    for (int y = 0; y < canvas.image().height(); ++y) {
        for (int x = 0; x < canvas.image().width(); ++x) {
            canvas.image().setPixel(x, y, qRgb(x + 1, y + 1, 7));
        }
    }
    const QImage before = canvas.image().copy();

    canvas.place(GetParam().second, screen);

    const QRect visible = GetParam().second.intersected(screen);
    ASSERT_EQ(canvas.image().size(), visible.size());
    ASSERT_EQ(canvas.imageOrigin(), visible.topLeft() - GetParam().second.topLeft());
    const QPoint shift = canvas.imageOrigin() - oldOrigin;  // new image point + shift = old
    for (int y = 0; y < canvas.image().height(); ++y) {
        for (int x = 0; x < canvas.image().width(); ++x) {
            const QPoint old = QPoint(x, y) + shift;
            const QRgb expected = before.rect().contains(old) ? before.pixel(old) : qRgb(0, 0, 0);
            ASSERT_EQ(canvas.image().pixel(x, y), expected) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasPlaceTest,
    ::testing::Values(
        // Canvases larger than the screen keep a screen-sized image, only its origin moves.
        PlaceCase{"SameOrigin", QRect(-3, -2, 20, 15), QRect(-3, -2, 20, 15)},
        PlaceCase{"OriginLeftAndDown", QRect(-3, -2, 20, 15), QRect(-5, -1, 18, 14)},
        PlaceCase{"OriginRightAndUp", QRect(-5, -1, 18, 14), QRect(-3, -4, 20, 15)},
        PlaceCase{"OriginOnlyAcross", QRect(-1, -1, 12, 10), QRect(-4, -1, 15, 10)},
        PlaceCase{"OriginOnlyDown", QRect(-1, -1, 12, 10), QRect(-1, -6, 12, 16)},
        PlaceCase{"ShiftWiderThanTheImage", QRect(-1, -1, 12, 10), QRect(-40, -1, 60, 10)},
        PlaceCase{"ShiftTallerThanTheImage", QRect(-1, -1, 12, 10), QRect(-1, -30, 12, 50)},
        // The image changes its size.
        PlaceCase{"Smaller", QRect(-3, -2, 20, 15), QRect(2, 1, 5, 4)},
        PlaceCase{"Larger", QRect(2, 1, 5, 4), QRect(-3, -2, 20, 15)},
        PlaceCase{"FromEmpty", QRect(0, 0, 0, 0), QRect(-3, -2, 20, 15)}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumi::display
