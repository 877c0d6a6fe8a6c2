// SPDX-License-Identifier: GPL-3.0-or-later
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "settings/PictureList.h"
#include "startup/HostedDisplay.h"
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
    EXPECT_EQ(display.form()->Activated, -1);      // the first picture is under way
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
        ASSERT_TRUE(QTest::qWaitFor([&] { return !display.form()->changingPicture(); }, 120000));
        EXPECT_EQ(display.form()->picture1Geometry.size(), preview ? QSize(64, 24) : QSize(128, 48));
    }
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
