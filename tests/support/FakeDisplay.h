// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "display/FormHost.h"
#include "platform/PictureSource.h"
#include "support/FakeMusic.h"

namespace lumi::testing {

// A host window of the display form that keeps its canvas in memory and records the rest.
class FakeFormHost final : public display::FormHost {
public:
    platform::Timer& timer(display::FormTimer which) override {
        return timers[static_cast<int>(which)];
    }
    display::PixelBuffer canvasPixels() override {
        return {canvas.data(), visible.width(), visible.height(), visible.width()};
    }
    display::Point canvasOrigin() const override { return origin; }
    void placeCanvas(const display::Rect& geometry, const display::Rect& visibleArea) override {
        const display::Rect shown = geometry.intersected(visibleArea);
        visible = shown.isEmpty() ? display::Rect{} : shown;
        origin = visible.topLeft() - geometry.topLeft();
        canvas.assign(static_cast<std::size_t>(std::max(0, visible.width() * visible.height())), 0);
    }
    void repaintCanvas(const display::Region&) override { ++canvasRepaints; }
    void repaintForm() override {}
    std::optional<display::Rgb> colorPixel(display::ColorValue color) const override {
        if (color == display::kNoColor || display::isSystemColor(color)) {
            return std::nullopt;
        }
        const auto bits = static_cast<std::uint32_t>(color);
        return 0xff000000u | (bits & 0xff) << 16 | (bits & 0xff00) | (bits >> 16 & 0xff);
    }
    void showCalendarStrip(const display::Rect& strip, const display::Rect&, int) override {
        calendarStrip = strip;
    }
    void setCalendarText(const std::string& text) override { calendarText = text; }
    std::string calendarCaptionNow() const override { return "now"; }
    std::string calendarDateText(const display::CalendarDate& date) const override {
        return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" +
               std::to_string(date.day);
    }
    int captionTextWidth(const std::string& text) const override {
        return static_cast<int>(text.size()) * 8;
    }
    void showPhotoDateStrip(const display::Rect& strip, const display::Rect&,
                            const std::string& text, bool) override {
        photoDate = text;
        photoDateStrip = strip;
    }
    void hidePhotoDateStrip() override { photoDate.clear(); }
    display::PictureListRead readPictureList(const std::string& path) const override {
        events.push_back("list " + path);
        return {list, {}};
    }
    double secondsSinceMidnight() const override { return seconds; }
    void showCursor(bool show) override { events.push_back(show ? "cursor on" : "cursor off"); }
    void setScreenSaverRunning(bool running) override {
        events.push_back(running ? "running on" : "running off");
    }
    void endProcess() override { events.push_back("end"); }
    void report(const std::string& line) override { reports.push_back(line); }

    std::array<FakeTimer, 5> timers;
    std::vector<display::Rgb> canvas;
    display::Rect visible;
    display::Point origin;
    int canvasRepaints = 0;
    display::Rect calendarStrip;
    std::string calendarText;
    std::string photoDate;
    display::Rect photoDateStrip;
    std::vector<std::string> list;
    double seconds = 100;
    mutable std::vector<std::string> events;
    std::vector<std::string> reports;
};

// Pictures by path, delivered when the test says so.
class FakePictureSource final : public platform::PictureSource {
public:
    void setRequest(const platform::PictureRequest& request) override { this->request = request; }
    void load(const std::string& path, Callback done) override {
        pending = path;
        callback_ = std::move(done);
    }
    void prefetch(const std::string& path) override { prefetched.push_back(path); }
    void cancel() override { callback_ = nullptr; }
    bool loading() const override { return static_cast<bool>(callback_); }
    display::LoadedPicture decodeNow(const std::string& path) override { return picture(path); }

    // Delivers the pending load; false when there is none.
    bool deliver() {
        if (!callback_) {
            return false;
        }
        const Callback done = std::move(callback_);
        callback_ = nullptr;
        done(picture(pending));
        return true;
    }

    // A picture of `width` x `height` whose pixel (x, y) is 0xff000000 + seed * 0x10000 +
    // y * 0x100 + x.
    void add(const std::string& path, int width, int height, int seed) {
        auto pixels = std::make_shared<std::vector<display::Rgb>>();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels->push_back(0xff000000u + seed * 0x10000u + y * 0x100u + x);
            }
        }
        display::LoadedPicture& picture = pictures[path];
        picture.path = path;
        picture.pixels = display::ConstPixelBuffer(pixels->data(), width, height, width);
        picture.keeper = pixels;
    }

    display::LoadedPicture picture(const std::string& path) const {
        const auto found = pictures.find(path);
        if (found != pictures.end()) {
            return found->second;
        }
        display::LoadedPicture missing;
        missing.path = path;
        missing.error = "no such file";
        return missing;
    }

    std::map<std::string, display::LoadedPicture> pictures;
    platform::PictureRequest request;
    std::string pending;
    std::vector<std::string> prefetched;

private:
    Callback callback_;
};

}  // namespace lumi::testing
