// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "display/Geometry.h"

namespace lumi::display {

// The calendar strip `picCal` and its caption `lblCal` as designed, in pixels of a screen
// at full scale: the strip at the bottom left, the caption inset in it, in bold italic Arial
// of 13 pixels (9.75 points at 96 dots per inch), yellow on black.
inline constexpr Rect kCalendarStrip = Rect::fromSize({5, 540}, {271, 25});
inline constexpr Rect kCalendarCaption = Rect::fromSize({2, 2}, {261, 17});
inline constexpr int kCalendarFontPixels = 13;

// The top edge, in pixels, of the calendar strip on a screen `screenHeight` pixels high:
// the height less 7.8 % of it, worked out in double precision and rounded to the nearest
// pixel (halves away from zero), which puts the strip at 92.2 % of the screen height.
int calendarTop(int screenHeight);

// `rect` with every edge and length at `scale` of its size, each length at least one pixel.
Rect scaledRect(const Rect& rect, double scale);

// Where the strips stand on a screen of `screen` at `scale` (more than 0, at most 1: a
// preview shows the display smaller): the calendar strip, and the caption within it.
Rect calendarStripOn(Size screen, double scale);
Rect calendarCaptionIn(double scale);

// The photo-date strip, which shows the day the picture on the screen was taken in the
// calendar caption's style, at the bottom right beside the calendar strip.
struct PhotoDatePlace {
    Rect strip;    // on the screen
    Rect caption;  // within the strip
    bool elided = false;  // the text must be cut short to the caption's width
};

// The place of the photo-date strip for a text `textWidth` pixels wide on a screen of
// `screen`, with the calendar strip shown or not, at full scale: the strip as wide as its
// text plus the calendar's margins, a gap from the right edge and from the calendar strip
// (or the left margin when the calendar is off). A text too long for that room is cut short;
// nothing when less than a readable width is left.
std::optional<PhotoDatePlace> photoDatePlace(Size screen, bool calendarShown, int textWidth);

}  // namespace lumi::display
