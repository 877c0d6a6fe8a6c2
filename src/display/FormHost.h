// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/CalendarDate.h"
#include "display/Colors.h"
#include "display/Geometry.h"
#include "display/PixelBuffer.h"
#include "platform/Timer.h"

namespace lumi::display {

// The timers of the display form. Each ticks once a second, except PaintStep, which ticks on
// every pass of the event loop while it is on.
enum class FormTimer { Timer1, TimerCal, TimerMIDI, Timer3, PaintStep };

// The picture list as the display reads it at its start.
struct PictureListRead {
    std::vector<std::string> entries;  // full paths, folders expanded, in the list's order
    std::string error;                 // why the list could not be read; empty when it could
};

// What the display form needs from the window that shows it: an edition implements it with
// its toolkit's window (a QWidget, a Win32 window), and routes the timers' ticks and the
// input to the form's handlers. The form calls it only from the user-interface thread.
class FormHost {
public:
    virtual ~FormHost() = default;

    // The form's timer `which`, made by the host before the form, off, with its interval;
    // its ticks go to the form's handler of the same name (PaintStep: paintStep()).
    virtual platform::Timer& timer(FormTimer which) = 0;

    // The canvas `Pic2`: offscreen pixels covering the part of the canvas that lies on the
    // screen, and the canvas coordinate of their top-left pixel. The view stays valid until
    // the next placeCanvas().
    virtual PixelBuffer canvasPixels() = 0;
    virtual Point canvasOrigin() const = 0;
    // Gives the canvas a new size and position on the form, keeping the pixels of the part
    // that the new size keeps, as a picture box does when it is resized. Only the part within
    // `visibleArea` (form coordinates) gets offscreen pixels.
    virtual void placeCanvas(const Rect& geometry, const Rect& visibleArea) = 0;
    // Shows the pixels of `dirty` (in the offscreen pixels' coordinates) on the screen soon.
    virtual void repaintCanvas(const Region& dirty) = 0;

    // Repaints the whole form: its background colour and picture changed.
    virtual void repaintForm() = 0;
    // The pixel of `color`, resolving system colours; nothing for kNoColor or a system colour
    // the platform does not have.
    virtual std::optional<Rgb> colorPixel(ColorValue color) const = 0;

    // The calendar strip: shown at `strip` with its caption at `caption` (within the strip)
    // in a font of `fontPixels`; then its text.
    virtual void showCalendarStrip(const Rect& strip, const Rect& caption, int fontPixels) = 0;
    virtual void setCalendarText(const std::string& text) = 0;
    // The calendar caption for now, and for the day `date`, in the user's language.
    virtual std::string calendarCaptionNow() const = 0;
    virtual std::string calendarDateText(const CalendarDate& date) const = 0;
    // The width in pixels of `text` in the caption's font, with room for its italic slant.
    virtual int captionTextWidth(const std::string& text) const = 0;
    // The photo-date strip at `strip` with `text` in its caption at `caption`, cut short
    // with an ellipsis when `elide`; or hidden.
    virtual void showPhotoDateStrip(const Rect& strip, const Rect& caption,
                                    const std::string& text, bool elide) = 0;
    virtual void hidePhotoDateStrip() = 0;

    // The picture list file at `path` with its folder entries expanded.
    virtual PictureListRead readPictureList(const std::string& path) const = 0;

    // Seconds since local midnight, with a fraction.
    virtual double secondsSinceMidnight() const = 0;

    // The end of the display, in this order: the cursor shown again, the platform told that
    // no screen saver runs, the process ended at once (no later step of the caller runs).
    virtual void showCursor(bool show) = 0;
    virtual void setScreenSaverRunning(bool running) = 0;
    virtual void endProcess() = 0;

    // A line for the log of the display (a file that does not load, say).
    virtual void report(const std::string& line) = 0;
};

}  // namespace lumi::display
