// SPDX-License-Identifier: GPL-3.0-or-later
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "linux/display/CorePixels.h"
#include "linux/settings/PictureList.h"
#include "linux/startup/HostedDisplay.h"
#include "support/Fakes.h"

namespace lumi::startup {
namespace {

class HostedDisplayTest : public ::testing::Test {
protected:
    HostedDisplay::Services services() {
        return {windows_, settings_, clock_, player_, dir_.path() + "/", [this] { ++quits_; }};
    }

    QTemporaryDir dir_;
    testing::FakeWindowServices windows_;
    testing::FakeSettingsStore settings_;
    testing::FakeClock clock_;
    testing::FakeMidiPlayer player_;
    int quits_ = 0;
};

HostOptions insideWindow(platform::NativeWindow window) {
    HostOptions options;
    options.target = HostOptions::Target::HostWindow;
    options.window = window;
    return options;
}

TEST_F(HostedDisplayTest, RunsTheDisplayInsideTheHostAtItsSize) {
    windows_.clientRects.insert(0x500, QRect(0, 0, 320, 200));
    HostedDisplay display(services());
    const HostOptions options = insideWindow(0x500);
    ASSERT_TRUE(display.start(options));
    EXPECT_EQ(windows_.embeddedHost, 0x500u);
    EXPECT_EQ(windows_.embeddedRect, QRect(0, 0, 320, 200));
    EXPECT_EQ(settings_.read("SetReg", ""), "2");  // the settings are those of the display
    EXPECT_EQ(display.form()->form.Activated, -1);      // the first picture is under way
    EXPECT_TRUE(windows_.runningCalls.isEmpty());  // no screen-saver flag
}

// A settings program's preview shrinks a picture larger than the window to fit it, whatever
// "FitLarge" says; the daemon's own window follows the setting.
TEST_F(HostedDisplayTest, APreviewShrinksLargePicturesToTheWindow) {
    settings_.write("FitLarge", "0");
    QImage picture(128, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString path = dir_.filePath("wide.png");
    ASSERT_TRUE(picture.save(path));
    ASSERT_FALSE(settings::writePictureList(dir_.filePath("List.txt"), {path}).has_value());
    windows_.clientRects.insert(7, QRect(0, 0, 64, 48));
    for (const bool preview : {true, false}) {
        HostOptions options = insideWindow(7);
        options.preview = preview;
        HostedDisplay display(services());
        ASSERT_TRUE(display.start(options));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !display.form()->form.changingPicture(); }, 120000));
        EXPECT_EQ(display::toQRect(display.form()->form.picture1Geometry).size(),
                  preview ? QSize(64, 24) : QSize(128, 48));
    }
}

// The smallest rectangle that holds every pixel of `image` for which `match` holds.
template <typename Match>
QRect boundsOf(const QImage& image, Match match) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixel(x, y))) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// A settings program's preview draws the calendar strip and its caption at the scale of its
// window to the screen, as it shrinks the pictures; the daemon's own window at full size.
TEST_F(HostedDisplayTest, APreviewScalesTheCalendarCaptionWithTheWindow) {
    settings_.write("SetReg", "2");
    settings_.write("BG", "0");  // white, so that the black strip shows its edges
    settings_.write("Calendar", "1");
    windows_.screen = QRect(0, 0, 1024, 768);
    windows_.clientRects.insert(7, QRect(0, 0, 512, 384));
    struct Case {
        bool preview;
        QRect strip;  // 92.2 % down the window; in the preview at half of 5, 271 by 25
        int captionHeight;
    };
    for (const Case& c :
         {Case{true, QRect(3, 354, 136, 13), 9}, Case{false, QRect(5, 354, 271, 25), 17}}) {
        SCOPED_TRACE(c.preview ? "preview" : "daemon's window");
        HostOptions options = insideWindow(7);
        options.preview = c.preview;
        HostedDisplay display(services());
        ASSERT_TRUE(display.start(options));
        const QImage shown = display.form()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(boundsOf(shown, [](QRgb p) { return p == qRgb(0, 0, 0); }), c.strip);
        EXPECT_EQ(
            boundsOf(shown, [](QRgb p) { return p != qRgb(0, 0, 0) && p != qRgb(255, 255, 255); })
                .united(c.strip),
            c.strip);  // the caption stays inside the strip
        const QRect caption = boundsOf(
            shown, [](QRgb p) { return qRed(p) > 128 && qGreen(p) > 128 && qBlue(p) < 100; });
        EXPECT_FALSE(caption.isEmpty());
        EXPECT_LE(caption.height(), c.captionHeight);
        EXPECT_GE(caption.height(), c.captionHeight / 2);
        EXPECT_EQ(display.form()->lblCal->font().pixelSize(), c.preview ? 7 : 13);
    }
}

TEST(PreviewScaleTest, TheSmallerRatioOfWindowToScreenAtMostOne) {
    EXPECT_DOUBLE_EQ(previewScale(QSize(634, 356), QSize(1268, 712)), 0.5);
    EXPECT_DOUBLE_EQ(previewScale(QSize(640, 100), QSize(1280, 800)), 0.125);
    EXPECT_DOUBLE_EQ(previewScale(QSize(2000, 2000), QSize(1024, 768)), 1.0);
    EXPECT_DOUBLE_EQ(previewScale(QSize(0, 0), QSize(1024, 768)), 1.0);
}

TEST_F(HostedDisplayTest, InputDoesNotEndTheHostedDisplay) {
    windows_.clientRects.insert(7, QRect(0, 0, 64, 48));
    HostedDisplay display(services());
    const HostOptions options = insideWindow(7);
    ASSERT_TRUE(display.start(options));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(display.form()->Pic2, &press);
    QCoreApplication::sendEvent(display.form(), &press);
    EXPECT_EQ(quits_, 0);
    EXPECT_EQ(player_.stops, 0);
}

TEST_F(HostedDisplayTest, EndsWhenTheHostGoesAwayAndRefusesAMissingHost) {
    const HostOptions options = insideWindow(99);
    HostedDisplay missing(services());
    EXPECT_FALSE(missing.start(options));

    windows_.clientRects.insert(99, QRect(0, 0, 50, 40));
    HostedDisplay display(services());
    ASSERT_TRUE(display.start(options));
    windows_.clientRects.remove(99);
    EXPECT_TRUE(QTest::qWaitFor([this] { return quits_ == 1; }, 120000));
}

TEST_F(HostedDisplayTest, CoversNoOtherMonitorSinceTheHostRunsOneSaverPerMonitor) {
    windows_.screen = QRect(0, 0, 64, 48);
    windows_.monitors = {QRect(0, 0, 64, 48), QRect(64, 0, 64, 48)};
    windows_.clientRects.insert(7, QRect(0, 0, 64, 48));
    HostOptions whole;
    whole.target = HostOptions::Target::WholeScreen;
    for (const HostOptions& options : {insideWindow(7), whole}) {
        HostedDisplay display(services());
        ASSERT_TRUE(display.start(options));
    }
    EXPECT_TRUE(windows_.coverRects.isEmpty());
    EXPECT_EQ(windows_.shownOrder.size(), 1);  // only the whole-screen form
}

}  // namespace
}  // namespace lumi::startup
