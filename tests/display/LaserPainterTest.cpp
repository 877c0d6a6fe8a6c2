// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>

#include "display/LaserPainter.h"
#include "display/LineRasteriser.h"
#include "display/TestImage.h"

namespace lumi::display {
namespace {

constexpr Rgb kMarker = 0xff010203u;
constexpr Rgb kBack = 0xff405060u;

Rgb opaque(int red, int green, int blue) {
    return 0xff000000u | (Rgb(red & 0xff) << 16) | (Rgb(green & 0xff) << 8) | Rgb(blue & 0xff);
}

// A source whose pixels all differ from each other and from the colours above.
TestImage distinctSource(int width, int height) {
    TestImage image({width, height}, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel({x, y}, opaque(8 * x + 7, 8 * y + 9, (x * 31 + y * 17) & 0xff));
        }
    }
    return image;
}

TestImage filled(Size size, Rgb color = kMarker) { return TestImage(size, color); }

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
TestImage referencePainting(const TestImage& source, const TestImage& canvasBefore,
                            Point beamOrigin, Point offset, std::optional<Rgb> back) {
    TestImage canvas = canvasBefore;
    LineRasteriser raster(canvas.pixels());
    const int w = source.width();
    const int h = source.height();
    for (int c = 0; c <= w; ++c) {
        for (int r = 0; c < w && r < h; ++r) {  // beams outside the source have no colour
            raster.drawLine(beamOrigin, offset + Point{c, r}, source.pixel({c, r}));
        }
        if (back) {
            raster.drawLine(beamOrigin, offset + Point{c, h}, *back);
        }
    }
    for (int r = 0; back && r <= h; ++r) {
        raster.drawLine(beamOrigin, offset + Point{w, r}, *back);
    }
    return canvas;
}

// The part `window` of `whole` laid over `base`; pixels of the window outside `whole` keep
// those of `base`.
TestImage cropOnto(const TestImage& whole, const Rect& window, TestImage base) {
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (whole.rect().contains(window.topLeft() + Point{x, y})) {
                base.setPixel({x, y}, whole.pixel(window.topLeft() + Point{x, y}));
            }
        }
    }
    return base;
}

class CompletePaintingTest : public ::testing::TestWithParam<std::tuple<Size, bool>> {};

// With the beams coming from the holder's far corner, every canvas pixel ends in the colour
// of the beam that ends on it, whatever was there before.
TEST_P(CompletePaintingTest, LeavesTheSourceWithoutItsLastColumnAndRow) {
    const auto [size, withBackground] = GetParam();
    const TestImage source = distinctSource(size.width, size.height);
    TestImage canvas = filled(LaserPainter::canvasSize(size));
    LaserPainter painter;
    painter.start(source.pixels(), canvas.pixels(), {}, {size.width, size.height}, {},
                  withBackground ? std::optional<Rgb>(kBack) : std::nullopt);

    EXPECT_EQ(finish(painter), size.width + 1);
    EXPECT_TRUE(painter.finished());
    EXPECT_EQ(canvas, source.copy(Rect::fromSize({}, LaserPainter::canvasSize(size))));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompletePaintingTest,
                         ::testing::Combine(::testing::Values(Size{3, 2}, Size{5, 4}, Size{9, 3},
                                                              Size{2, 8}),
                                            ::testing::Bool()));

TEST(LaserPainterTest, CountsTheBeamsOfEveryKind) {
    const struct {
        Size size;
        std::int64_t colored;
        std::int64_t erasing;
        std::int64_t closing;
    } cases[] = {
        {{1, 1}, 4, 2, 2},
        {{640, 480}, 308321, 641, 481},
    };
    for (const auto& expected : cases) {
        const int w = expected.size.width;
        const int h = expected.size.height;
        TestImage canvas = filled({1, 1});  // a one-pixel window keeps 640 x 480 quick
        const TestImage source = distinctSource(w, h);
        LaserPainter painter;
        painter.start(source.pixels(), canvas.pixels(), {}, {w, h}, {}, kBack);
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
    const TestImage source = distinctSource(6, 5);  // canvas 5 x 4, beams from (6, 5)
    TestImage canvas = filled({5, 4});
    LaserPainter painter;
    painter.start(source.pixels(), canvas.pixels(), {}, {6, 5}, {}, kBack);

    painter.step();
    // Worked out by hand: the beam to (0, r) crosses column 1 at y = r + (5 - r) / 6, rounded
    // half up, so the beams to rows 0, 1, 2, 3 land on rows 1, 2, 3, 3 there.
    EXPECT_EQ(canvas.pixel({0, 0}), source.pixel({0, 0}));
    EXPECT_EQ(canvas.pixel({1, 0}), kMarker);
    EXPECT_EQ(canvas.pixel({1, 1}), source.pixel({0, 0}));
    EXPECT_EQ(canvas.pixel({1, 2}), source.pixel({0, 1}));
    EXPECT_EQ(canvas.pixel({1, 3}), source.pixel({0, 3}));

    for (int k = 2; k <= 5; ++k) {
        TestImage expected = canvas;
        LineRasteriser raster(expected.pixels());
        for (int r = 0; r < 5; ++r) {
            raster.drawLine({6, 5}, {k - 1, r}, source.pixel({k - 1, r}));
        }
        painter.step();
        ASSERT_EQ(canvas, expected) << "after step " << k;
        for (int x = 0; x < k && x < 5; ++x) {
            for (int y = 0; y < 4; ++y) {
                EXPECT_EQ(canvas.pixel({x, y}), source.pixel({x, y})) << x << "," << y;
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
        const TestImage source = distinctSource(pick(1, 9), pick(1, 9));
        const Size canvasSize = LaserPainter::canvasSize(source.size);
        const Point beamOrigin{pick(-4, 13), pick(-4, 13)};
        const Point offset{pick(-3, 3), pick(-3, 3)};
        const std::optional<Rgb> back =
            pick(0, 1) == 0 ? std::nullopt : std::optional<Rgb>(kBack);
        TestImage whole = filled(canvasSize);
        for (int y = 0; y < whole.height() && whole.width() > 0; ++y) {
            whole.setPixel({pick(0, whole.width() - 1), y}, 0xff998877u);  // earlier pictures
        }
        // The canvas image: a window that may stick out of the canvas on any side.
        const Rect window = Rect::fromSize({pick(-2, 3), pick(-2, 3)}, {pick(1, 10), pick(1, 10)});
        TestImage canvas = cropOnto(whole, window, filled({window.width(), window.height()}));
        const TestImage expected =
            cropOnto(referencePainting(source, whole, beamOrigin, offset, back), window, canvas);

        LaserPainter painter;
        painter.start(source.pixels(), canvas.pixels(), window.topLeft(), beamOrigin, offset,
                      back);
        while (painter.running()) {
            const TestImage before = canvas;
            const Rect dirty = painter.step();
            EXPECT_TRUE(dirty.isEmpty() || canvas.rect().intersected(dirty) == dirty);
            for (int y = 0; y < canvas.height(); ++y) {
                for (int x = 0; x < canvas.width(); ++x) {
                    if (canvas.pixel({x, y}) != before.pixel({x, y})) {
                        ASSERT_TRUE(dirty.contains({x, y})) << "case " << i;
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
    const TestImage source = distinctSource(40, 30);
    TestImage screen = filled({16, 9});
    LaserPainter painter;
    painter.start(source.pixels(), screen.pixels(), {11, 10}, {40, 30}, {}, kBack);
    finish(painter);
    EXPECT_EQ(screen, source.copy(Rect::fromSize({11, 10}, {16, 9})));
}

TEST(LaserPainterTest, AnAbandonedPaintingNeverDrawsAgain) {
    TestImage first = filled({7, 5});
    TestImage second = filled({4, 3});
    const TestImage firstSource = distinctSource(8, 6);
    LaserPainter painter;
    painter.start(firstSource.pixels(), first.pixels(), {}, {8, 6}, {}, kBack);
    painter.step();
    painter.step();
    const TestImage firstAfterTwoSteps = first;

    const TestImage secondSource = distinctSource(5, 4);
    painter.start(secondSource.pixels(), second.pixels(), {}, {5, 4}, {}, kBack);
    EXPECT_EQ(painter.column(), 0);
    EXPECT_EQ(painter.coloredBeams(), 0);
    EXPECT_EQ(finish(painter), 6);
    EXPECT_EQ(first, firstAfterTwoSteps);
    EXPECT_EQ(second, secondSource.copy(Rect::fromSize({}, {4, 3})));

    painter.start(firstSource.pixels(), first.pixels(), {}, {8, 6}, {}, kBack);
    painter.step();
    painter.abandon();
    const TestImage abandoned = first;
    EXPECT_FALSE(painter.running());
    EXPECT_FALSE(painter.finished());
    EXPECT_TRUE(painter.step().isEmpty());
    EXPECT_EQ(first, abandoned);
}

TEST(LaserPainterTest, FollowsACanvasReplacedBetweenSteps) {
    const TestImage source = distinctSource(6, 5);
    TestImage first = filled({5, 4});
    LaserPainter painter;
    painter.start(source.pixels(), first.pixels(), {}, {6, 5}, {}, kBack);
    painter.step();
    painter.step();
    // The display moved the screen: the new image shows the canvas from (1, 0) on.
    TestImage second = first.copy(Rect::fromSize({1, 0}, {4, 4}));
    const TestImage firstBefore = first;
    painter.setCanvas(second.pixels(), {1, 0});
    finish(painter);
    EXPECT_EQ(first, firstBefore);
    EXPECT_EQ(second, source.copy(Rect::fromSize({1, 0}, {4, 4})));
}

// A column split over steps of any beam limit leaves exactly the pixels, counters and column
// of the whole-column steps at every column's end, and ends in the same canvas.
TEST(LaserPainterTest, SplitColumnsPaintTheSamePixels) {
    const struct {
        Size size;
        Point beamOrigin;
        bool withBackground;
    } cases[] = {
        {{1, 1}, {1, 1}, true},   {{2, 3}, {2, 3}, false},  {{7, 5}, {7, 5}, true},
        {{5, 9}, {-3, 11}, true}, {{13, 4}, {0, 0}, false},
    };
    for (const auto& scene : cases) {
        for (const int limit : {1, 2, 3, 7}) {
            const TestImage source = distinctSource(scene.size.width, scene.size.height);
            const std::optional<Rgb> back =
                scene.withBackground ? std::optional<Rgb>(kBack) : std::nullopt;
            TestImage whole = filled(LaserPainter::canvasSize(scene.size));
            TestImage split = whole;
            LaserPainter wholeSteps;
            LaserPainter splitSteps;
            wholeSteps.start(source.pixels(), whole.pixels(), {}, scene.beamOrigin, {}, back);
            splitSteps.start(source.pixels(), split.pixels(), {}, scene.beamOrigin, {}, back);
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
                if (limit == 1 && column < scene.size.width) {
                    EXPECT_GE(steps, scene.size.height);  // one beam a step
                }
            }
            EXPECT_TRUE(splitSteps.finished());
            EXPECT_EQ(split,
                      referencePainting(source, filled(split.size), scene.beamOrigin, {}, back));
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
        const TestImage source = distinctSource(pick(1, 40), pick(1, 40));
        const Point beamOrigin{pick(-30, 70), pick(-30, 70)};
        const Rect window = Rect::fromSize({pick(-5, 10), pick(-5, 10)}, {pick(1, 45), pick(1, 45)});
        TestImage canvas = filled({window.width(), window.height()});
        LaserPainter painter;
        painter.start(source.pixels(), canvas.pixels(), window.topLeft(), beamOrigin, {}, kBack);
        while (painter.running()) {
            const TestImage before = canvas;
            painter.step(pick(1, 50));
            const Region dirty = painter.takeDirtyRegion();
            ASSERT_LE(static_cast<int>(dirty.size()),
                      (canvas.height() + DirtyBands::kBandHeight - 1) / DirtyBands::kBandHeight);
            for (int y = 0; y < canvas.height(); ++y) {
                for (int x = 0; x < canvas.width(); ++x) {
                    const auto holds = [&](const Rect& rect) { return rect.contains({x, y}); };
                    if (canvas.pixel({x, y}) != before.pixel({x, y})) {
                        ASSERT_TRUE(std::any_of(dirty.begin(), dirty.end(), holds)) << "case " << i;
                    }
                }
            }
        }
    }
}

std::int64_t area(const Region& region) {
    std::int64_t sum = 0;
    for (const Rect& rect : region) {
        sum += std::int64_t{rect.width()} * rect.height();
    }
    return sum;
}

Rect boundingRect(const Region& region) {
    Rect box;
    for (const Rect& rect : region) {
        box = box.united(rect);
    }
    return box;
}

// The fan of one column fills a triangle of its bounding box, and the dirty region follows it.
TEST(LaserPainterTest, DirtyRegionOfAFanFollowsItsOutline) {
    const TestImage source = distinctSource(640, 480);
    TestImage canvas = filled(LaserPainter::canvasSize(source.size));
    LaserPainter painter;
    painter.start(source.pixels(), canvas.pixels(), {}, {640, 480}, {}, kBack);
    for (int column = 0; column < 100; ++column) {
        painter.step();
    }
    painter.takeDirtyRegion();
    const Rect box = painter.step();  // the fan to column 100
    const Region dirty = painter.takeDirtyRegion();
    EXPECT_EQ(boundingRect(dirty), box);
    EXPECT_LT(area(dirty), std::int64_t{box.width()} * box.height() * 55 / 100);
}

}  // namespace
}  // namespace lumi::display
