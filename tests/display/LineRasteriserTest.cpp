// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "display/LineRasteriser.h"
#include "display/TestImage.h"

namespace lumi::display {
namespace {

constexpr Rgb kMarker = 0xff102030u;
constexpr Rgb kInk = 0xffe0c0a0u;

TestImage filled(int width, int height, Rgb color = kMarker) {
    return TestImage({width, height}, color);
}

// The pixels of `image` that differ from kMarker, row by row.
std::vector<Point> inked(const TestImage& image) {
    std::vector<Point> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel({x, y}) != kMarker) {
                points.push_back(Point{x, y});
            }
        }
    }
    return points;
}

Rect boundingRect(const std::vector<Point>& points) {
    Rect rect;
    for (const Point& point : points) {
        rect = rect.united(Rect::fromCorners(point, point));
    }
    return rect;
}

// The reference line, straight from its definition: one pixel per major coordinate (only the
// visible ones are visited), the minor coordinate of the ideal segment rounded half up, i.e.
// floor(v + 1/2). Drawn on `image`, whose pixel (0, 0) is at `origin`.
void drawReference(TestImage& image, Point origin, Point from, Point to, Rgb color) {
    const std::int64_t dx = std::int64_t{to.x} - from.x;
    const std::int64_t dy = std::int64_t{to.y} - from.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const Point start = (xMajor ? dx : dy) < 0 ? to : from;
    const std::int64_t a0 = xMajor ? start.x : start.y;
    const std::int64_t b0 = xMajor ? start.y : start.x;
    const std::int64_t da = std::llabs(xMajor ? dx : dy);
    const std::int64_t db = (start == from ? 1 : -1) * (xMajor ? dy : dx);
    const std::int64_t majorMin = xMajor ? origin.x : origin.y;
    const std::int64_t majorMax = majorMin + (xMajor ? image.width() : image.height()) - 1;
    for (std::int64_t a = std::max(a0, majorMin); a <= std::min(a0 + da, majorMax); ++a) {
        const std::int64_t twice = 2 * b0 * da + 2 * db * (a - a0) + da;
        const std::int64_t b = da == 0 ? b0 : twice / (2 * da) - (twice % (2 * da) < 0 ? 1 : 0);
        const Point local = (xMajor ? Point{int(a), int(b)} : Point{int(b), int(a)}) - origin;
        if (image.rect().contains(local)) {
            image.setPixel(local, color);
        }
    }
}

struct LineCase {
    const char* name;
    Point from;
    Point to;
    std::vector<Point> pixels;  // row by row
};

class LineShapeTest : public ::testing::TestWithParam<LineCase> {};

// Small lines whose pixels are worked out by hand, drawn in both directions.
TEST_P(LineShapeTest, CoversExactlyTheExpectedPixelsInBothDirections) {
    const LineCase& line = GetParam();
    for (const bool reversed : {false, true}) {
        TestImage image = filled(8, 8);
        LineRasteriser raster(image.pixels());
        const Rect drawn = reversed ? raster.drawLine(line.to, line.from, kInk)
                                     : raster.drawLine(line.from, line.to, kInk);
        EXPECT_EQ(inked(image), line.pixels) << (reversed ? "reversed" : "forward");
        EXPECT_EQ(drawn, boundingRect(line.pixels));
        EXPECT_EQ(LineRasteriser::pixelCount(drawn), static_cast<int>(line.pixels.size()));
        EXPECT_EQ(image.pixel(line.from), kInk);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, LineShapeTest,
    ::testing::Values(
        LineCase{"SinglePoint", {2, 3}, {2, 3}, {{2, 3}}},
        LineCase{"Horizontal", {1, 2}, {4, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        LineCase{"Vertical", {3, 4}, {3, 1}, {{3, 1}, {3, 2}, {3, 3}, {3, 4}}},
        LineCase{"Diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        LineCase{"AntiDiagonal", {3, 0}, {0, 3}, {{3, 0}, {2, 1}, {1, 2}, {0, 3}}},
        // y = 0.4 x: 0, 0.4, 0.8, 1.2, 1.6, 2.
        LineCase{"Shallow", {0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        // y = 3 - 0.4 x: 3, 2.6, 2.2, 1.8, 1.4, 1.
        LineCase{"ShallowRising", {0, 3}, {5, 1}, {{4, 1}, {5, 1}, {2, 2}, {3, 2}, {0, 3}, {1, 3}}},
        // x = 0.4 y, the shallow case turned over.
        LineCase{"Steep", {0, 0}, {2, 5}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
        LineCase{"SteepLeaning", {5, 0}, {3, 5}, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {3, 4}, {3, 5}}},
        // Exact halves round to the larger coordinate, whichever way the line runs.
        LineCase{"HalfDown", {0, 0}, {2, 1}, {{0, 0}, {1, 1}, {2, 1}}},
        LineCase{"HalfUp", {0, 1}, {2, 0}, {{2, 0}, {0, 1}, {1, 1}}},
        LineCase{"HalfRight", {0, 0}, {1, 2}, {{0, 0}, {1, 1}, {1, 2}}},
        LineCase{"HalfLeft", {1, 0}, {0, 2}, {{1, 0}, {1, 1}, {0, 2}}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// Every line between two points of a 7 x 7 grid: all octants, all slopes a small grid has.
TEST(LineRasteriserTest, MatchesTheDefinitionForAllLinesOnASmallGrid) {
    for (int from = 0; from < 49; ++from) {
        for (int to = 0; to < 49; ++to) {
            const Point a{from % 7, from / 7};
            const Point b{to % 7, to / 7};
            TestImage image = filled(7, 7);
            LineRasteriser(image.pixels()).drawLine(a, b, kInk);
            TestImage expected = filled(7, 7);
            drawReference(expected, Point{}, a, b, kInk);
            ASSERT_EQ(image, expected) << "line " << a.x << "," << a.y << " - " << b.x << "," << b.y;
        }
    }
}

// Clipping must give exactly the pixels of the whole line that fall into the clip: random
// lines on a small image that is a window of a large one, with the origin and a clip
// rectangle moving the window around.
TEST(LineRasteriserTest, ClippedLinesEqualTheCropOfUnclippedOnes) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> coordinate(-60, 80);
    std::uniform_int_distribution<int> shift(-5, 25);
    for (int i = 0; i < 4000; ++i) {
        const Point from{coordinate(random), coordinate(random)};
        const Point to{coordinate(random), coordinate(random)};
        const Point origin{shift(random), shift(random)};  // line coordinate of pixel (0, 0)
        const Rect clip =
            i % 2 == 0 ? Rect::fromSize({0, 0}, {17, 11}) : Rect::fromSize({3, 2}, {9, 6});

        TestImage large = filled(300, 300);
        LineRasteriser(large.pixels(), Point{-150, -150}).drawLine(from, to, kInk);
        const TestImage expectedWindow =
            large.copy(Rect::fromSize(origin + Point{150, 150}, {17, 11}));
        TestImage expected = filled(17, 11);
        for (const Point& point : inked(expectedWindow)) {
            if (clip.contains(point)) {
                expected.setPixel(point, kInk);
            }
        }

        TestImage small = filled(17, 11);
        LineRasteriser raster(small.pixels(), origin);
        raster.setClip(clip);
        const Rect drawn = raster.drawLine(from, to, kInk);
        ASSERT_EQ(small, expected) << "line " << from.x << "," << from.y << " - " << to.x << ","
                                   << to.y << " origin " << origin.x << "," << origin.y;
        ASSERT_EQ(drawn, boundingRect(inked(expected)));
    }
}

// Lines far longer than the image: the visible part is computed from the line equation, and
// lines too long for the fixed-point walk take the exact integer one.
TEST(LineRasteriserTest, LongLinesMatchTheDefinitionWhereVisible) {
    const Size wide{2500, 4};
    const Size tall{4, 2500};
    const struct {
        const char* name;
        Point from;
        Point to;
        Size size;
        Point origin;
    } lines[] = {
        {"ShallowFixedPoint", {-300000, 1}, {300001, 2}, wide, {-1200, 0}},
        {"ShallowTieAtLength", {-1000000, 0}, {1000000, 3}, wide, {-1200, 0}},
        {"ShallowAcrossAllRows", {-1000000, -1598}, {1000000, 1602}, wide, {-1200, 0}},
        {"RightToLeft", {1200000, 5}, {-1200007, -2}, wide, {-1200, 0}},
        {"SteepTie", {-1, -1000000}, {2, 1000000}, wide, {-1200, 0}},
        {"SteepAcrossAllColumns", {-1598, -1000000}, {1602, 1000000}, tall, {0, -1200}},
        {"AlmostDiagonal", {-1000000, -1000000}, {1000000, 1000003}, wide, {-1200, 0}},
        // Found by search: 32.32 fixed point from the first visible pixel would be one row
        // off at (2068, 728), so this line needs the exact walk.
        {"BeyondFixedPoint", {-2193707, -773097}, {1806294, 636566}, {2100, 900}, {0, 0}},
    };
    for (const auto& line : lines) {
        TestImage image = filled(line.size.width, line.size.height);
        LineRasteriser(image.pixels(), line.origin).drawLine(line.from, line.to, kInk);
        TestImage expected = filled(line.size.width, line.size.height);
        drawReference(expected, line.origin, line.from, line.to, kInk);
        EXPECT_FALSE(inked(expected).empty()) << line.name;
        EXPECT_EQ(image, expected) << line.name;
    }
}

// Rows may be longer than the visible pixels (an image on foreign memory).
TEST(LineRasteriserTest, FollowsTheRowLengthOfTheImage) {
    TestImage image({4, 5}, kMarker, 7);
    LineRasteriser(image.pixels()).drawLine({0, 0}, {3, 4}, kInk);
    TestImage expected = filled(4, 5);
    drawReference(expected, Point{}, {0, 0}, {3, 4}, kInk);
    EXPECT_EQ(image, expected);
    // Nothing in the padding.
    EXPECT_EQ(std::count(image.memory.begin(), image.memory.end(), kInk), 5);
}

TEST(LineRasteriserTest, LinesOutsideDrawNothingAtNoCostForTheirLength) {
    constexpr int kFar = 1 << 28;
    const struct {
        Point from;
        Point to;
    } lines[] = {
        {{-kFar, -5}, {kFar, -1}},                        // above
        {{-kFar, 10}, {kFar, 12}},                        // below
        {{-3, -kFar}, {-1, kFar}},                        // left
        {{10, -kFar}, {12, kFar}},                        // right
        {{-kFar, kFar + 19}, {kFar, -kFar + 19}},         // by the bottom-right corner
        {{-kFar, -kFar - 10}, {kFar, kFar - 10}},         // by the top-right corner
        {{-kFar, 10 - kFar / 2}, {kFar, 10 + kFar / 2}},  // by the bottom-left corner
        {{-1, 0}, {0, -1}},                               // by the top-left corner
    };
    TestImage image = filled(10, 10);
    LineRasteriser raster(image.pixels());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        for (const auto& line : lines) {
            ASSERT_TRUE(raster.drawLine(line.from, line.to, kInk).isEmpty());
        }
    }
    // Walking these lines pixel by pixel would take hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(inked(image).empty());
}

// A fan drawn at once leaves the pixels of its beams drawn one by one, in order, and reports
// what they would: for any origin, clip, image origin and direction, including beams that
// are not x-major (drawn one by one) and fans far longer than the image.
TEST(LineRasteriserTest, AFanEqualsItsBeamsDrawnInOrder) {
    std::mt19937 random(20);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 3000; ++i) {
        const int scale = i % 3 == 0 ? 400 : 12;
        const Point from{pick(-scale, scale), pick(-scale, scale)};
        const int targetX = from.x + pick(-scale, scale);
        const int reach = std::abs(targetX - from.x);
        const int firstY = from.y - reach + pick(-2, reach);
        const int count = pick(1, 2 * reach + 3);
        const Point origin{pick(-10, 3), pick(-10, 3)};
        const Rect clip = Rect::fromSize({pick(-2, 12), pick(-2, 12)}, {pick(0, 14), pick(0, 14)});
        std::vector<Rgb> colors(static_cast<std::size_t>(count));
        for (Rgb& color : colors) {
            color = 0xff000000u | static_cast<Rgb>(pick(0, 0xffffff));
        }
        TestImage expected = filled(pick(1, 14), pick(1, 14));
        TestImage actual = expected;
        LineRasteriser beams(expected.pixels(), origin);
        beams.setClip(clip);
        Rect drawn;
        int firstBeam = -1;
        int lastBeam = -1;
        for (int beam = 0; beam < count; ++beam) {
            const Rect rect = beams.drawLine(from, Point{targetX, firstY + beam},
                                             colors[static_cast<std::size_t>(beam)]);
            if (!rect.isEmpty()) {
                firstBeam = firstBeam < 0 ? beam : firstBeam;
                lastBeam = beam;
                drawn = drawn.united(rect);
            }
        }
        LineRasteriser fan(actual.pixels(), origin);
        fan.setClip(clip);
        const LineRasteriser::FanDrawn result =
            fan.drawFan(from, targetX, firstY, colors.data(), count);
        ASSERT_EQ(actual, expected) << "case " << i;
        EXPECT_EQ(result.drawn, drawn) << "case " << i;
        EXPECT_EQ(result.firstBeam, firstBeam) << "case " << i;
        EXPECT_EQ(result.lastBeam, lastBeam) << "case " << i;
    }
}

}  // namespace
}  // namespace lumi::display
