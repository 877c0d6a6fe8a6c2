// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/LineRasteriser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace lumi::display {

namespace {

constexpr std::int64_t kFixedOne = std::int64_t{1} << 32;

// The clip rectangle in terms of a line's major axis (a) and minor axis (b), inclusive.
struct AxisClip {
    std::int64_t aMin = 0;
    std::int64_t aMax = -1;
    std::int64_t bMin = 0;
    std::int64_t bMax = -1;
};

// The visible part of a line, in terms of its major axis (a) and minor axis (b), run towards
// larger a, with what it takes to walk it.
struct Span {
    bool xMajor = true;
    std::int64_t aFirst = 0;
    std::int64_t bFirst = 0;
    std::int64_t aLast = 0;
    std::int64_t bLast = 0;
    std::int64_t sign = 1;  // the direction of b as a grows
    std::int64_t count = 0;
    // Fixed point (fixedPoint): the pixel k steps after the first lies k steps along a and
    // (position + k * slope) >> 32 steps along b.
    bool fixedPoint = true;
    std::uint64_t position = 0;
    std::uint64_t slope = 0;
    // Bresenham (otherwise): the remainder of the first pixel, grown by `increment` per step,
    // stepping b whenever it reaches `twoDa`.
    std::int64_t remainder = 0;
    std::int64_t increment = 0;
    std::int64_t twoDa = 0;
};

std::int64_t ceilDiv(std::int64_t numerator, std::int64_t denominator) {
    return (numerator + denominator - 1) / denominator;  // both positive
}

// The integer below or at numerator / denominator, for a positive denominator.
std::int64_t floorDiv(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t quotient = numerator / denominator;
    return numerator % denominator != 0 && numerator < 0 ? quotient - 1 : quotient;
}

// Clips the line (a0, b0)-(a1, b1), whose major axis is a (|a1 - a0| >= |b1 - b0|), and sets
// up the walk over its visible pixels. Returns false when no pixel lies inside the clip.
//
// With the line run towards larger a, t = a - a0 in [0, da], and s = sign(b1 - b0), the pixel
// at t has b = b0 + s * m(t) with
//     m(t) = floor((2 |db| t + da - bias) / (2 da)),  bias = (s < 0 ? 1 : 0),
// which is |db| t / da rounded to the nearest integer with exact halves going towards larger b
// (the bias turns "half up" into "half down" in m where m counts towards smaller b). Clipping
// solves m(t) >= mLo and m(t) <= mHi for t in integers, so the first visible pixel and its
// remainder come straight from the line equation rather than from a walk to the clip.
bool clipAlongMajor(std::int64_t a0, std::int64_t b0, std::int64_t a1, std::int64_t b1,
                    const AxisClip& clip, Span& span) {
    if (a1 < a0) {
        std::swap(a0, a1);
        std::swap(b0, b1);
    }
    if (a1 < clip.aMin || a0 > clip.aMax || std::max(b0, b1) < clip.bMin ||
        std::min(b0, b1) > clip.bMax) {
        return false;
    }
    const std::int64_t da = a1 - a0;
    const std::int64_t db = b1 - b0;
    const std::int64_t sign = db < 0 ? -1 : 1;
    const std::int64_t adb = db * sign;
    const std::int64_t bias = db < 0 ? 1 : 0;

    std::int64_t tFirst = std::max<std::int64_t>(0, clip.aMin - a0);
    std::int64_t tLast = std::min(da, clip.aMax - a0);
    if (adb > 0) {
        // The bounding-box test above guarantees mLo <= adb and mHi >= 0.
        const std::int64_t mLo = sign > 0 ? clip.bMin - b0 : b0 - clip.bMax;
        const std::int64_t mHi = sign > 0 ? clip.bMax - b0 : b0 - clip.bMin;
        if (mLo > 0) {
            tFirst = std::max(tFirst, ceilDiv(2 * da * mLo - da + bias, 2 * adb));
        }
        if (mHi < adb) {
            tLast = std::min(tLast, (2 * da * mHi + da + bias - 1) / (2 * adb));
        }
        if (tFirst > tLast) {
            return false;  // the line passes by a corner of the clip
        }
    }

    span.sign = sign;
    span.count = tLast - tFirst + 1;
    span.aFirst = a0 + tFirst;
    span.aLast = a0 + tLast;
    if (da == 0) {
        span.bFirst = b0;  // a single point; the fixed-point walk stays on it
        span.bLast = b0;
        return true;
    }
    const std::int64_t twoDa = 2 * da;
    const std::int64_t increment = 2 * adb;
    const std::int64_t numerator = increment * tFirst + da - bias;
    const std::int64_t mFirst = numerator / twoDa;
    const std::int64_t remainder = numerator % twoDa;
    span.bFirst = b0 + sign * mFirst;

    span.fixedPoint = span.count * twoDa < kFixedOne;
    if (span.fixedPoint) {
        // m(t) - mFirst is the integer part of (remainder + k * increment) / twoDa with
        // k = t - tFirst. In 32.32 fixed point with both terms rounded up, the sum is never
        // below the exact value and exceeds it by less than count / 2^32 <= 1 / (2 da), which
        // cannot reach the next integer (the exact fraction is at most 1 - 1 / (2 da)); so
        // its integer part is exact.
        const auto divisor = static_cast<std::uint64_t>(twoDa);
        span.position = ((static_cast<std::uint64_t>(remainder) << 32) + divisor - 1) / divisor;
        span.slope = ((static_cast<std::uint64_t>(increment) << 32) + divisor - 1) / divisor;
        const std::uint64_t lastPosition =
            span.position + static_cast<std::uint64_t>(span.count - 1) * span.slope;
        span.bLast = span.bFirst + sign * static_cast<std::int64_t>(lastPosition >> 32);
        return true;
    }
    span.remainder = remainder;
    span.increment = increment;
    span.twoDa = twoDa;
    span.bLast = b0 + sign * ((increment * tLast + da - bias) / twoDa);
    return true;
}

// Writes `count` pixels from `pixel` on, one per step of `aStep`, the k-th displaced by
// (position + k * slope) >> 32 steps of `minorStep`. The pixels do not depend on each other,
// unlike in a Bresenham loop, so the processor can overlap their stores.
void drawFixedPoint(Rgb* pixel, std::ptrdiff_t aStep, std::ptrdiff_t minorStep,
                    std::uint64_t position, std::uint64_t slope, std::int64_t count, Rgb color) {
    const auto minor = [minorStep](std::uint64_t at) {
        return static_cast<std::ptrdiff_t>(at >> 32) * minorStep;
    };
    for (; count >= 4; count -= 4) {
        pixel[minor(position)] = color;
        pixel[aStep + minor(position + slope)] = color;
        pixel[2 * aStep + minor(position + 2 * slope)] = color;
        pixel[3 * aStep + minor(position + 3 * slope)] = color;
        pixel += 4 * aStep;
        position += 4 * slope;
    }
    for (; count > 0; --count) {
        pixel[minor(position)] = color;
        pixel += aStep;
        position += slope;
    }
}

// Writes the pixels of a line too long for 32.32 fixed point with the exact integer walk
// (Bresenham's). The loop advances before it writes, so the pointer never leaves the visible
// pixels.
void drawBresenham(Rgb* pixel, std::ptrdiff_t aStep, std::ptrdiff_t minorStep, const Span& span,
                   Rgb color) {
    std::int64_t remainder = span.remainder;
    *pixel = color;
    for (std::int64_t left = span.count - 1; left > 0; --left) {
        pixel += aStep;
        remainder += span.increment;
        if (remainder >= span.twoDa) {
            remainder -= span.twoDa;
            pixel += minorStep;
        }
        *pixel = color;
    }
}

// floor((numerator + k * step) / divisor) for k = 0, 1, ... in turn, for a positive divisor.
struct FloorWalk {
    FloorWalk(std::int64_t numerator, std::int64_t step, std::int64_t divisor)
        : quotient(floorDiv(numerator, divisor)),
          remainder(numerator - quotient * divisor),
          quotientStep(floorDiv(step, divisor)),
          remainderStep(step - quotientStep * divisor),
          divisor(divisor) {}

    void next() {
        quotient += quotientStep;
        remainder += remainderStep;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++quotient;
        }
    }

    std::int64_t quotient;
    std::int64_t remainder;
    std::int64_t quotientStep;
    std::int64_t remainderStep;
    std::int64_t divisor;
};

// Writes `rows` pixels down one column from `pixel` on, rows `stride` apart: the k-th in
// colors[min(last, (numerator + k * increment) / divisor)], with a numerator >= 0 and a
// divisor > 0. In 32.32 fixed point when that is exact (see drawFixedPoint), which it is for
// every fan of a picture, else with the exact integer walk.
void drawFanColumn(Rgb* pixel, std::ptrdiff_t stride, std::int64_t rows, std::int64_t numerator,
                   std::int64_t increment, std::int64_t divisor, const Rgb* colors,
                   std::int64_t last) {
    const std::int64_t quotient = numerator / divisor;
    const std::int64_t remainder = numerator % divisor;
    if (rows * divisor < kFixedOne) {
        const auto unsignedDivisor = static_cast<std::uint64_t>(divisor);
        std::uint64_t position =
            ((static_cast<std::uint64_t>(remainder) << 32) + unsignedDivisor - 1) / unsignedDivisor;
        const std::uint64_t slope =
            ((static_cast<std::uint64_t>(increment) << 32) + unsignedDivisor - 1) /
            unsignedDivisor;
        for (; rows > 0; --rows) {
            *pixel = colors[std::min(quotient + static_cast<std::int64_t>(position >> 32), last)];
            pixel += stride;
            position += slope;
        }
        return;
    }
    const std::int64_t quotientStep = increment / divisor;
    const std::int64_t remainderStep = increment % divisor;
    std::int64_t index = quotient;
    std::int64_t rest = remainder;
    for (; rows > 0; --rows) {
        *pixel = colors[std::min(index, last)];
        pixel += stride;
        index += quotientStep;
        rest += remainderStep;
        if (rest >= divisor) {
            rest -= divisor;
            ++index;
        }
    }
}

// Clips the line from `from` to `to` (line coordinates) to `clip` (image coordinates, not
// empty) and sets up the walk over its visible pixels; `drawn` receives their bounding
// rectangle. Returns false when no pixel is visible.
bool clipLine(Point from, Point to, Point origin, const Rect& clip, Span& span, Rect& drawn) {
    const std::int64_t x0 = std::int64_t{from.x} - origin.x;
    const std::int64_t y0 = std::int64_t{from.y} - origin.y;
    const std::int64_t x1 = std::int64_t{to.x} - origin.x;
    const std::int64_t y1 = std::int64_t{to.y} - origin.y;
    span.xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
    if (span.xMajor) {
        const AxisClip axisClip{clip.left, clip.right, clip.top, clip.bottom};
        if (!clipAlongMajor(x0, y0, x1, y1, axisClip, span)) {
            return false;
        }
    } else {
        const AxisClip axisClip{clip.top, clip.bottom, clip.left, clip.right};
        if (!clipAlongMajor(y0, x0, y1, x1, axisClip, span)) {
            return false;
        }
    }
    // Only pixels inside the clip are written, so their coordinates fit in int; a runs
    // upwards, b either way.
    const int aFirst = static_cast<int>(span.aFirst);
    const int aLast = static_cast<int>(span.aLast);
    const int bLow = static_cast<int>(std::min(span.bFirst, span.bLast));
    const int bHigh = static_cast<int>(std::max(span.bFirst, span.bLast));
    drawn = span.xMajor ? Rect{aFirst, bLow, aLast, bHigh} : Rect{bLow, aFirst, bHigh, aLast};
    return true;
}

// Writes the visible pixels of a clipped line into the image whose pixel (0, 0) is at `bits`
// and whose rows are `stride` pixels apart.
void drawSpan(Rgb* bits, std::ptrdiff_t stride, const Span& span, Rgb color) {
    const std::ptrdiff_t aStep = span.xMajor ? 1 : stride;
    const std::ptrdiff_t minorStep = (span.xMajor ? stride : 1) * span.sign;
    Rgb* const first = bits + span.aFirst * aStep + span.bFirst * (span.xMajor ? stride : 1);
    if (span.fixedPoint) {
        drawFixedPoint(first, aStep, minorStep, span.position, span.slope, span.count, color);
    } else {
        drawBresenham(first, aStep, minorStep, span, color);
    }
}

}  // namespace

LineRasteriser::LineRasteriser(const PixelBuffer& image, Point origin)
    : bounds_(image.rect()), clip_(image.rect()), origin_(origin) {
    if (image.isNull()) {
        return;
    }
    bits_ = image.bits;
    stride_ = image.stride;
}

void LineRasteriser::setClip(const Rect& clip) {
    clip_ = bits_ == nullptr ? Rect{} : clip.intersected(bounds_);
}

Rect LineRasteriser::drawLine(Point from, Point to, Rgb color) {
    Span span;
    Rect drawn;
    if (clip_.isEmpty() || !clipLine(from, to, origin_, clip_, span, drawn)) {
        return {};
    }
    drawSpan(bits_, stride_, span, color);
    return drawn;
}

LineRasteriser::FanDrawn LineRasteriser::drawFan(Point from, int targetX, int firstY,
                                                 const Rgb* colors, int count) {
    FanDrawn result;
    if (count <= 0 || clip_.isEmpty()) {
        return result;
    }
    // In image coordinates, with the origin O and e the target row relative to O: beam e covers,
    // in the column u = |x - O.x| away from O, the row O.y + f(e) with
    //     f(e) = floor((2 e u + d) / (2 d)),  d = |targetX - O.x|,
    // its exact row rounded with halves going up (see the class comment). f grows with e by at
    // most one per beam, so a column holds the rows f(eLo) ... f(eHi) without a gap, and the
    // last beam on row O.y + m is the greatest e with f(e) <= m:
    //     eMax(m) = floor((d (2m + 1) - 1) / (2u)),  held to eHi;
    // the first is the least e with f(e) >= m: ceil(d (2m - 1) / (2u)).
    const std::int64_t ox = std::int64_t{from.x} - origin_.x;
    const std::int64_t oy = std::int64_t{from.y} - origin_.y;
    const std::int64_t d = std::abs(std::int64_t{targetX} - from.x);
    const std::int64_t eLo = std::int64_t{firstY} - from.y;
    const std::int64_t eHi = eLo + count - 1;
    constexpr std::int64_t kFanLimit = std::int64_t{1} << 24;  // keeps the products exact
    const auto beamByBeam = [&] {
        FanDrawn drawn;
        for (int i = 0; i < count; ++i) {
            const Rect beam = drawLine(from, Point{targetX, firstY + i}, colors[i]);
            if (!beam.isEmpty()) {
                drawn.firstBeam = drawn.firstBeam < 0 ? i : drawn.firstBeam;
                drawn.lastBeam = i;
                drawn.drawn = drawn.drawn.united(beam);
            }
        }
        return drawn;
    };
    if (d == 0 || std::max(std::abs(eLo), std::abs(eHi)) > d || d >= kFanLimit) {
        return beamByBeam();  // not a fan of x-major beams
    }
    // Near the origin the beams paint over each other many times (d / u beams per pixel), and
    // filling the fan column by column saves most of the writes. Farther out they seldom meet,
    // and the beams' own walks along their rows are faster than the fan's down its long
    // columns: there, the beams are drawn one by one, clipped to those columns. The columns are disjoint, so the order
    // between the two parts does not matter.
    const std::int64_t tx = std::int64_t{targetX} - origin_.x;
    // A column u away from the origin holds about count * u / d rows of the fan; beyond some
    // hundreds of rows a column's walk no longer finds its pixels in the first-level cache.
    constexpr std::int64_t kColumnRows = 512;
    const std::int64_t nearReach = std::min(d / 2, kColumnRows * d / count);
    const std::int64_t nearLow = tx < ox ? ox - nearReach : ox;
    const std::int64_t nearHigh = tx < ox ? ox : ox + nearReach;
    const std::int64_t farLow =
        std::max<std::int64_t>(tx < ox ? tx : nearHigh + 1, clip_.left);
    const std::int64_t farHigh =
        std::min<std::int64_t>(tx < ox ? nearLow - 1 : tx, clip_.right);
    FanDrawn far;
    if (farLow <= farHigh) {
        const Rect wholeClip = clip_;
        clip_ = Rect{static_cast<int>(farLow), wholeClip.top, static_cast<int>(farHigh),
                     wholeClip.bottom};
        far = beamByBeam();
        clip_ = wholeClip;
    }
    const std::int64_t xFrom = std::max<std::int64_t>(nearLow, clip_.left);
    const std::int64_t xTo = std::min<std::int64_t>(nearHigh, clip_.right);
    const std::int64_t mTop = clip_.top - oy;
    const std::int64_t mBottom = clip_.bottom - oy;
    const std::int64_t twoD = 2 * d;
    std::int64_t eFirst = eHi + 1;
    std::int64_t eLast = eLo - 1;
    std::int64_t xLow = 0;
    std::int64_t xHigh = -1;
    std::int64_t mLow = 0;
    std::int64_t mHigh = -1;
    // f(eLo) and f(eHi) column by column: u moves by one per column, their numerators by 2 e.
    const std::int64_t du = tx < ox ? -1 : 1;
    FloorWalk lowRow(2 * eLo * std::abs(xFrom - ox) + d, 2 * eLo * du, twoD);
    FloorWalk highRow(2 * eHi * std::abs(xFrom - ox) + d, 2 * eHi * du, twoD);
    for (std::int64_t x = xFrom; x <= xTo; ++x, lowRow.next(), highRow.next()) {
        const std::int64_t u = std::abs(x - ox);
        const std::int64_t mLo = lowRow.quotient;
        const std::int64_t mHi = highRow.quotient;
        const std::int64_t mA = std::max(mLo, mTop);
        const std::int64_t mB = std::min(mHi, mBottom);
        if (mA > mB) {
            continue;
        }
        Rgb* const pixel = bits_ + (oy + mA) * stride_ + x;
        if (u == 0) {
            *pixel = colors[count - 1];  // every beam starts on O's pixel, row f(e) = 0
            eFirst = eLo;
            eLast = eHi;
        } else {
            const std::int64_t twoU = 2 * u;
            eFirst = std::min(eFirst, mA == mLo ? eLo : -floorDiv(-d * (2 * mA - 1), twoU));
            eLast = std::max(eLast, mB == mHi ? eHi : floorDiv(d * (2 * mB + 1) - 1, twoU));
            // eMax(mA) >= eLo because f(eLo) <= mA, so the numerator is not negative.
            drawFanColumn(pixel, stride_, mB - mA + 1, d * (2 * mA + 1) - 1 - eLo * twoU, twoD,
                          twoU, colors, count - 1);
        }
        if (xHigh < xLow) {
            xLow = x;
            mLow = mA;
            mHigh = mB;
        }
        xHigh = x;
        mLow = std::min(mLow, mA);
        mHigh = std::max(mHigh, mB);
    }
    if (xHigh < xLow) {
        return far;
    }
    result.drawn = Rect{static_cast<int>(xLow), static_cast<int>(oy + mLow),
                        static_cast<int>(xHigh), static_cast<int>(oy + mHigh)};
    result.firstBeam = static_cast<int>(eFirst - eLo);
    result.lastBeam = static_cast<int>(eLast - eLo);
    if (far.firstBeam >= 0) {
        result.drawn = result.drawn.united(far.drawn);
        result.firstBeam = std::min(result.firstBeam, far.firstBeam);
        result.lastBeam = std::max(result.lastBeam, far.lastBeam);
    }
    return result;
}

}  // namespace lumi::display
