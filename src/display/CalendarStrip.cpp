// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/CalendarStrip.h"

#include <algorithm>
#include <cmath>

namespace lumi::display {
namespace {

// The strip's top is this share of the screen height above its bottom edge.
constexpr double kCalendarFromBottom = 0.078;
// The photo-date strip stands this far from the screen's right edge and from the calendar
// strip; its caption is inset as the calendar's.
constexpr int kDateStripGap = 5;
constexpr int kDateCaptionMargin = kCalendarStrip.width() - kCalendarCaption.width();
// Below this width for its text the strip is not shown at all: no date would be readable.
constexpr int kSmallestDateCaption = 24;

}  // namespace

int calendarTop(int screenHeight) {
    const double height = screenHeight;
    return static_cast<int>(std::lround(height - height * kCalendarFromBottom));
}

Rect scaledRect(const Rect& rect, double scale) {
    const auto at = [scale](int length) { return static_cast<int>(std::lround(length * scale)); };
    return Rect::fromSize({at(rect.left), at(rect.top)},
                          {std::max(1, at(rect.width())), std::max(1, at(rect.height()))});
}

Rect calendarStripOn(Size screen, double scale) {
    const Rect strip = scaledRect(kCalendarStrip, scale);
    // The left edge scales with the strip; the top is a share of the height already.
    return Rect::fromSize({strip.left, calendarTop(screen.height)},
                          {strip.width(), strip.height()});
}

Rect calendarCaptionIn(double scale) {
    return scaledRect(kCalendarCaption, scale);
}

std::optional<PhotoDatePlace> photoDatePlace(Size screen, bool calendarShown, int textWidth) {
    const int leftLimit =
        (calendarShown ? kCalendarStrip.left + kCalendarStrip.width() : 0) + kDateStripGap;
    const int room = screen.width - kDateStripGap - leftLimit;
    const int captionWidth = std::min(textWidth, room - kDateCaptionMargin);
    if (captionWidth < kSmallestDateCaption) {
        return std::nullopt;
    }
    const int stripWidth = captionWidth + kDateCaptionMargin;
    return PhotoDatePlace{
        Rect::fromSize({screen.width - kDateStripGap - stripWidth, calendarTop(screen.height)},
                       {stripWidth, kCalendarStrip.height()}),
        Rect::fromSize(kCalendarCaption.topLeft(), {captionWidth, kCalendarCaption.height()}),
        captionWidth < textWidth};
}

}  // namespace lumi::display
