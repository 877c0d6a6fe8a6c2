// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/FormHost.h"
#include "display/frmMain.h"
#include "windows/display/GdiHandles.h"

namespace lumi::display {

// Where the display window stands: it covers every monitor; the form runs on the primary
// one, and the others show the background.
struct FormPlacement {
    Rect window;               // the virtual screen, in screen coordinates
    Rect primary;              // the primary monitor, in the window's client coordinates
    std::vector<Rect> others;  // the other monitors, in client coordinates
};

// What the window needs besides its place. The start-up owns these for the process's life.
struct FormWindowServices {
    platform::SettingsStore& settings;
    platform::MidiPlayer& player;
    platform::PictureSource& pictures;
    // The picture list file at a path with its folder entries expanded.
    std::function<PictureListRead(const std::string& path)> readPictureList;
    FormOptions options;  // its screenSize is the primary monitor's size
};

// The window of the display form on Windows: a top-most pop-up window over the virtual
// screen that hosts the core's frmMain. The canvas `Pic2` is a 32-bit DIB section of the
// part of the canvas on the screen, which the painter writes in place and WM_PAINT copies
// where it changed; the calendar and photo-date strips are drawn over it with GDI. Its
// timers are WM_TIMER timers; the paint step runs from the message loop whenever no message
// waits (runMessageLoop()), so that input, timers and repaints always come first.
class FormWindow final : private FormHost {
public:
    FormWindow(HINSTANCE instance, FormPlacement placement, FormWindowServices services);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    frmMain& form() { return *form_; }

    // Shows the window top-most over the virtual screen; its activation starts the form.
    void showTopMost();

    // Dispatches messages until WM_QUIT, and paints a step of the form's picture whenever
    // the queue is empty and a painting runs. Returns WM_QUIT's exit code.
    int runMessageLoop();

    // Registers the window class once per process.
    static void registerClass(HINSTANCE instance);

private:
    class WindowTimer;
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void keyChar(WPARAM character);
    void mouseMove(LPARAM position);
    void mouseButton(LPARAM position, bool down);
    bool onCanvas(POINT client) const;
    bool onStrip(POINT client) const;
    // `rect` of the form's coordinates in client coordinates.
    RECT toClient(const Rect& rect) const;
    void invalidate(const Rect& formRect);

    // FormHost.
    platform::Timer& timer(FormTimer which) override;
    PixelBuffer canvasPixels() override;
    Point canvasOrigin() const override { return canvasOrigin_; }
    void placeCanvas(const Rect& geometry, const Rect& visibleArea) override;
    void repaintCanvas(const Region& dirty) override;
    void repaintForm() override;
    std::optional<Rgb> colorPixel(ColorValue color) const override;
    void showCalendarStrip(const Rect& strip, const Rect& caption, int fontPixels) override;
    void setCalendarText(const std::string& text) override;
    std::string calendarCaptionNow() const override;
    std::string calendarDateText(const CalendarDate& date) const override;
    int captionTextWidth(const std::string& text) const override;
    void showPhotoDateStrip(const Rect& strip, const Rect& caption, const std::string& text,
                            bool elide) override;
    void hidePhotoDateStrip() override;
    PictureListRead readPictureList(const std::string& path) const override;
    double secondsSinceMidnight() const override;
    void showCursor(bool show) override;
    void setScreenSaverRunning(bool running) override;
    void endProcess() override;
    void report(const std::string& line) override;

    // A strip of the display: the calendar or the photo date.
    struct Strip {
        bool shown = false;
        Rect strip;    // form coordinates
        Rect caption;  // strip coordinates
        std::wstring text;
        bool elide = false;
    };
    void drawStrip(HDC dc, const Strip& strip) const;

    FormPlacement placement_;
    FormWindowServices services_;
    HWND hwnd_ = nullptr;
    std::array<std::unique_ptr<WindowTimer>, 5> timers_;
    DibSection canvas_;
    Rect canvasGeometry_;  // where Pic2 stands on the form
    Point canvasOrigin_;   // the canvas coordinate of the DIB's top-left pixel
    FontHandle captionFont_;
    Strip calendar_;
    Strip photoDate_;
    std::optional<POINT> lastMouse_;  // where the pointer stood at the last move
    std::optional<frmMain> form_;     // made once the window and its timers exist
};

}  // namespace lumi::display
