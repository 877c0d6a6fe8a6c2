// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <array>

#include "display/frmMain.h"
#include "linux/display/Canvas.h"
#include "linux/display/DisplayServices.h"
#include "linux/display/QtPictureSource.h"
#include "linux/platform/QtTimer.h"

namespace lumi::display {

// The window of the display form: a QWidget that hosts the core's frmMain (`form`), with the
// canvas `Pic2`, the calendar strip `picCal` with its caption `lblCal` and the photo-date
// strip `picDate` with `lblDate` as child widgets. It routes the timers' ticks, its
// activation and, for a full-screen display, the mouse and the keys to the form's handlers,
// and draws what the form asks for; it holds no rule of the display's own.
class DisplayWindow final : public QWidget, private FormHost {
    Q_OBJECT

public:
    explicit DisplayWindow(DisplayServices services, QWidget* parent = nullptr);

    // The background picture as the form holds it, viewed without a copy; valid for the
    // window's life.
    QImage backgroundImage() const;

    const PictureLoader& loader() const { return pictures_.loader(); }

    // Controls. The timers are declared before the form, which switches them from its
    // construction on.
    std::array<QTimer, 5> timers;
    Canvas* Pic2 = nullptr;
    QWidget* picCal = nullptr;
    QLabel* lblCal = nullptr;
    // The photo-date strip: the day the picture on the screen was taken, in the calendar
    // caption's style, in the bottom-right corner beside the calendar strip.
    QWidget* picDate = nullptr;
    QLabel* lblDate = nullptr;

private:
    std::array<platform::QtTimer, 5> timerSwitches_;
    DisplayServices services_;
    QtPictureSource pictures_;

public:
    frmMain form;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FormHost.
    platform::Timer& timer(FormTimer which) override;
    PixelBuffer canvasPixels() override;
    Point canvasOrigin() const override;
    void placeCanvas(const Rect& geometry, const Rect& visibleArea) override;
    void repaintCanvas(const Region& dirty) override;
    void repaintForm() override { update(); }
    std::optional<Rgb> colorPixel(ColorValue color) const override;
    void showCalendarStrip(const Rect& strip, const Rect& caption, int fontPixels) override;
    void setCalendarText(const std::string& text) override;
    std::string calendarCaptionNow() const override;
    std::string calendarDateText(const CalendarDate& date) const override;
    int captionTextWidth(const std::string& text) const override;
    void showPhotoDateStrip(const Rect& strip, const Rect& caption, const std::string& text,
                            bool elide) override;
    void hidePhotoDateStrip() override { picDate->hide(); }
    PictureListRead readPictureList(const std::string& path) const override;
    double secondsSinceMidnight() const override { return services_.clock.secondsSinceMidnight(); }
    void showCursor(bool show) override { services_.cursor.showCursor(show); }
    void setScreenSaverRunning(bool running) override {
        services_.windows.setScreenSaverRunning(running);
    }
    void endProcess() override { services_.endProcess(); }
    void report(const std::string& line) override;
};

}  // namespace lumi::display
