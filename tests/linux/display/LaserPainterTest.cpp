// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/LaserPainter.h"

#include "linux/display/LineRasteriser.h"

#include <QImage>

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace lumi::display {
namespace {

constexpr QRgb kMarker = 0xff010203u;
constexpr QRgb kBack = 0xff405060u;

// A source whose pixels all differ from each other and from the colours above.
QImage distinctSource(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(8 * x + 7, 8 * y + 9, (x * 31 + y * 17) & 0xff));
        }
    }
    return image;
}

QImage filled(QSize size, QRgb color = kMarker) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Runs the painting to its end and returns the number of steps.
int finish(LaserPainter& painter) {
    int steps = 0;
    while (painter.running()) {
        painter.step();
        ++steps;
    }
    return steps;
}

// The painting done the plain way, beam after beam onto the whole canvas: the reference the
// painter must match pixel for pixel.
QImage referencePainting(const QImage& source, const QImage& canvasBefore, QPoint beamOrigin,
                         QPoint offset, std::optional<QRgb> back) {
    QImage canvas = canvasBefore;
    LineRasteriser raster(canvas);
    const int w = source.width();
    const int h = source.height();
    for (int c = 0; c <= w; ++c) {
        for (int r = 0; c < w && r < h; ++r) {  // beams outside the source have no colour
            raster.drawLine(beamOrigin, offset + QPoint(c, r), source.pixel(c, r));
        }
        if (back) {
            raster.drawLine(beamOrigin, offset + QPoint(c, h), *back);
        }
    }
    for (int r = 0; back && r <= h; ++r) {
        raster.drawLine(beamOrigin, offset + QPoint(w, r), *back);
    }
    return canvas;
}

// The part `window` of `whole` laid over `base`; pixels of the window outside `whole` keep
// those of `base`.
QImage cropOnto(const QImage& whole, const QRect& window, QImage base) {
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (whole.rect().contains(window.topLeft() + QPoint(x, y))) {
                base.setPixel(x, y, whole.pixel(window.topLeft() + QPoint(x, y)));
            }
        }
    }
    return base;
}

class CompletePaintingTest : public ::testing::TestWithParam<std::tuple<QSize, bool>> {};

// With the beams coming from the holder's far corner, every canvas pixel ends in the colour
// of the beam that ends on it, whatever was there before.
TEST_P(CompletePaintingTest, LeavesTheSourceWithoutItsLastColumnAndRow) {
    const auto [size, withBackground] = GetParam();
    const QImage source = distinctSource(size.width(), size.height());
    QImage canvas = filled(LaserPainter::canvasSize(size));
    LaserPainter painter;
    painter.start(source, &canvas, QPoint(0, 0), QPoint(size.width(), size.height()), QPoint(0, 0),
                  withBackground ? std::optional<QRgb>(kBack) : std::nullopt);

    EXPECT_EQ(finish(painter), size.width() + 1);
    EXPECT_TRUE(painter.finished());
    EXPECT_EQ(canvas, source.copy(0, 0, size.width() - 1, size.height() - 1));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompletePaintingTest,
                         ::testing::Combine(::testing::Values(QSize(3, 2), QSize(5, 4), QSize(9, 3),
                                                              QSize(2, 8)),
                                            ::testing::Bool()));

TEST(LaserPainterTest, CountsTheBeamsOfEveryKind) {
    const struct {
        QSize size;
        qint64 colored;
        qint64 erasing;
        qint64 closing;
    } cases[] = {
        {{1, 1}, 4, 2, 2},
        {{640, 480}, 308321, 641, 481},
    };
    for (const auto& expected : cases) {
        const int w = expected.size.width();
        const int h = expected.size.height();
        QImage canvas = filled(QSize(1, 1));  // a one-pixel window keeps 640 x 480 quick
        LaserPainter painter;
        painter.start(distinctSource(w, h), &canvas, QPoint(0, 0), QPoint(w, h), QPoint(0, 0),
                      kBack);
        EXPECT_EQ(painter.stepCount(), w + 1);
        for (int steps = 0; painter.running(); ++steps) {
            ASSERT_EQ(painter.column(), steps);
            painter.step();
        }
        EXPECT_EQ(painter.column(), w + 1);
        EXPECT_EQ(painter.coloredBeams(), expected.colored);
        EXPECT_EQ(painter.erasingBeams(), expected.erasing);
        EXPECT_EQ(painter.closingBeams(), expected.closing);
    }
}

// Between two steps the display shows the canvas: the columns left of the next one are final,
// and right of them lies the fan of the latest column over what earlier steps left.
TEST(LaserPainterTest, ShowsTheLatestFanBetweenTwoSteps) {
    const QImage source = distinctSource(6, 5);  // canvas 5 x 4, beams from (6, 5)
    QImage canvas = filled(QSize(5, 4));
    LaserPainter painter;
    painter.start(source, &canvas, QPoint(0, 0), QPoint(6, 5), QPoint(0, 0), kBack);

    painter.step();
    // Worked out by hand: the beam to (0, r) crosses column 1 at y = r + (5 - r) / 6, rounded
    // half up, so the beams to rows 0, 1, 2, 3 land on rows 1, 2, 3, 3 there.
    EXPECT_EQ(canvas.pixel(0, 0), source.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(1, 0), kMarker);
    EXPECT_EQ(canvas.pixel(1, 1), source.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(1, 2), source.pixel(0, 1));
    EXPECT_EQ(canvas.pixel(1, 3), source.pixel(0, 3));

    for (int k = 2; k <= 5; ++k) {
        QImage expected = canvas;
        LineRasteriser raster(expected);
        for (int r = 0; r < 5; ++r) {
            raster.drawLine(QPoint(6, 5), QPoint(k - 1, r), source.pixel(k - 1, r));
        }
        painter.step();
        ASSERT_EQ(canvas, expected) << "after step " << k;
        for (int x = 0; x < k && x < 5; ++x) {
            for (int y = 0; y < 4; ++y) {
                EXPECT_EQ(canvas.pixel(x, y), source.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

// Any beam origin, offset, background and on-screen window of the canvas gives the same
// pixels as the plain painting on the whole canvas, and every step reports what it changed.
TEST(LaserPainterTest, MatchesThePlainPaintingForAnyGeometry) {
    std::mt19937 random(4711);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 300; ++i) {
        const QImage source = distinctSource(pick(1, 9), pick(1, 9));
        const QSize canvasSize = LaserPainter::canvasSize(source.size());
        const QPoint beamOrigin(pick(-4, 13), pick(-4, 13));
        const QPoint offset(pick(-3, 3), pick(-3, 3));
        const std::optional<QRgb> back =
            pick(0, 1) == 0 ? std::nullopt : std::optional<QRgb>(kBack);
        QImage whole = filled(canvasSize);
        for (int y = 0; y < whole.height() && whole.width() > 0; ++y) {
            whole.setPixel(pick(0, whole.width() - 1), y, 0xff998877u);  // earlier pictures
        }
        // The canvas image: a window that may stick out of the canvas on any side.
        const QRect window(pick(-2, 3), pick(-2, 3), pick(1, 10), pick(1, 10));
        QImage canvas = cropOnto(whole, window, filled(window.size()));
        const QImage expected =
            cropOnto(referencePainting(source, whole, beamOrigin, offset, back), window, canvas);

        LaserPainter painter;
        painter.start(source, &canvas, window.topLeft(), beamOrigin, offset, back);
        while (painter.running()) {
            const QImage before = canvas;
            const QRect dirty = painter.step();
            EXPECT_TRUE(canvas.rect().contains(dirty) || dirty.isEmpty());
            for (int y = 0; y < canvas.height(); ++y) {
                for (int x = 0; x < canvas.width(); ++x) {
                    if (canvas.pixel(x, y) != before.pixel(x, y)) {
                        ASSERT_TRUE(dirty.contains(x, y)) << "case " << i;
                    }
                }
            }
        }
        ASSERT_EQ(canvas, expected) << "case " << i;
    }
}

TEST(LaserPainterTest, KeepsOnlyTheVisiblePartOfALargePicture) {
    // A 40 x 30 picture (canvas 39 x 29) centred on a 16 x 9 screen: the screen shows the
    // canvas from (11, 10) on.
    const QImage source = distinctSource(40, 30);
    QImage screen = filled(QSize(16, 9));
    LaserPainter painter;
    painter.start(source, &screen, QPoint(11, 10), QPoint(40, 30), QPoint(0, 0), kBack);
    finish(painter);
    EXPECT_EQ(screen, source.copy(11, 10, 16, 9));
}

TEST(LaserPainterTest, AnAbandonedPaintingNeverDrawsAgain) {
    QImage first = filled(QSize(7, 5));
    QImage second = filled(QSize(4, 3));
    LaserPainter painter;
    painter.start(distinctSource(8, 6), &first, QPoint(0, 0), QPoint(8, 6), QPoint(0, 0), kBack);
    painter.step();
    painter.step();
    const QImage firstAfterTwoSteps = first;

    const QImage secondSource = distinctSource(5, 4);
    painter.start(secondSource, &second, QPoint(0, 0), QPoint(5, 4), QPoint(0, 0), kBack);
    EXPECT_EQ(painter.column(), 0);
    EXPECT_EQ(painter.coloredBeams(), 0);
    EXPECT_EQ(finish(painter), 6);
    EXPECT_EQ(first, firstAfterTwoSteps);
    EXPECT_EQ(second, secondSource.copy(0, 0, 4, 3));

    painter.start(distinctSource(8, 6), &first, QPoint(0, 0), QPoint(8, 6), QPoint(0, 0), kBack);
    painter.step();
    painter.abandon();
    const QImage abandoned = first;
    EXPECT_FALSE(painter.running());
    EXPECT_FALSE(painter.finished());
    EXPECT_TRUE(painter.step().isEmpty());
    EXPECT_EQ(first, abandoned);
}

TEST(LaserPainterTest, FollowsACanvasReplacedBetweenSteps) {
    const QImage source = distinctSource(6, 5);
    QImage first = filled(QSize(5, 4));
    LaserPainter painter;
    painter.start(source, &first, QPoint(0, 0), QPoint(6, 5), QPoint(0, 0), kBack);
    painter.step();
    painter.step();
    // The display moved the screen: the new image shows the canvas from (1, 0) on.
    QImage second = first.copy(1, 0, 4, 4);
    const QImage firstBefore = first;
    painter.setCanvas(&second, QPoint(1, 0));
    finish(painter);
    EXPECT_EQ(first, firstBefore);
    EXPECT_EQ(second, source.copy(1, 0, 4, 4));
}

// A column split over steps of any beam limit leaves exactly the pixels, counters and column
// of the whole-column steps at every column's end, and ends in the same canvas.
TEST(LaserPainterTest, SplitColumnsPaintTheSamePixels) {
    const struct {
        QSize size;
        QPoint beamOrigin;
        bool withBackground;
    } cases[] = {
        {{1, 1}, {1, 1}, true},   {{2, 3}, {2, 3}, false},  {{7, 5}, {7, 5}, true},
        {{5, 9}, {-3, 11}, true}, {{13, 4}, {0, 0}, false},
    };
    for (const auto& scene : cases) {
        for (const int limit : {1, 2, 3, 7}) {
            const QImage source = distinctSource(scene.size.width(), scene.size.height());
            const std::optional<QRgb> back =
                scene.withBackground ? std::optional<QRgb>(kBack) : std::nullopt;
            QImage whole = filled(LaserPainter::canvasSize(scene.size));
            QImage split = whole;
            LaserPainter wholeSteps;
            LaserPainter splitSteps;
            wholeSteps.start(source, &whole, QPoint(0, 0), scene.beamOrigin, QPoint(0, 0), back);
            splitSteps.start(source, &split, QPoint(0, 0), scene.beamOrigin, QPoint(0, 0), back);
            while (wholeSteps.running()) {
                wholeSteps.step();
                const int column = splitSteps.column();
                int steps = 0;
                while (splitSteps.running() && splitSteps.column() == column) {
                    splitSteps.step(limit);
                    ++steps;
                }
                ASSERT_EQ(splitSteps.column(), wholeSteps.column());
                ASSERT_EQ(split, whole) << "column " << column << ", limit " << limit;
                EXPECT_EQ(splitSteps.coloredBeams(), wholeSteps.coloredBeams());
                EXPECT_EQ(splitSteps.erasingBeams(), wholeSteps.erasingBeams());
                EXPECT_EQ(splitSteps.closingBeams(), wholeSteps.closingBeams());
                if (limit == 1 && column < scene.size.width()) {
                    EXPECT_GE(steps, scene.size.height());  // one beam a step
                }
            }
            EXPECT_TRUE(splitSteps.finished());
            EXPECT_EQ(split, referencePainting(source, filled(split.size()), scene.beamOrigin,
                                               QPoint(0, 0), back));
        }
    }
}

// Every pixel that a step changes lies in the dirty region, however the canvas window, the
// beams and the beam limits are placed.
TEST(LaserPainterTest, DirtyRegionHoldsEveryChangedPixel) {
    std::mt19937 random(1234);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 200; ++i) {
        const QImage source = distinctSource(pick(1, 40), pick(1, 40));
        const QPoint beamOrigin(pick(-30, 70), pick(-30, 70));
        const QRect window(pick(-5, 10), pick(-5, 10), pick(1, 45), pick(1, 45));
        QImage canvas = filled(window.size());
        LaserPainter painter;
        painter.start(source, &canvas, window.topLeft(), beamOrigin, QPoint(0, 0), kBack);
        while (painter.running()) {
            const QImage before = canvas;
            painter.step(pick(1, 50));
            const QRegion dirty = painter.takeDirtyRegion();
            ASSERT_LE(dirty.rectCount(),
                      (canvas.height() + DirtyBands::kBandHeight - 1) / DirtyBands::kBandHeight);
            for (int y = 0; y < canvas.height(); ++y) {
                for (int x = 0; x < canvas.width(); ++x) {
                    if (canvas.pixel(x, y) != before.pixel(x, y)) {
                        ASSERT_TRUE(dirty.contains(QPoint(x, y))) << "case " << i;
                    }
                }
            }
        }
    }
}

qint64 area(const QRegion& region) {
    qint64 sum = 0;
    for (const QRect& rect : region) {
        sum += qint64{rect.width()} * rect.height();
    }
    return sum;
}

// The fan of one column fills a triangle of its bounding box, and the dirty region follows it.
TEST(LaserPainterTest, DirtyRegionOfAFanFollowsItsOutline) {
    const QImage source = distinctSource(640, 480);
    QImage canvas = filled(LaserPainter::canvasSize(source.size()));
    LaserPainter painter;
    painter.start(source, &canvas, QPoint(0, 0), QPoint(640, 480), QPoint(0, 0), kBack);
    for (int column = 0; column < 100; ++column) {
        painter.step();
    }
    painter.takeDirtyRegion();
    const QRect box = painter.step();  // the fan to column 100
    const QRegion dirty = painter.takeDirtyRegion();
    EXPECT_EQ(dirty.boundingRect(), box);
    EXPECT_LT(area(dirty), qint64{box.width()} * box.height() * 55 / 100);
}

}  // namespace
}  // namespace lumi::display
