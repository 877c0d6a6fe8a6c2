// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "linux/display/CoverWindow.h"

namespace lumi::display {
namespace {

TEST(MonitorsToCoverTest, CoversEveryMonitorBesideThePrimaryOnceAndNoneThatShowsTheForm) {
    const QRect primary(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1920, 1080);
    const QRect above(0, -1024, 1280, 1024);
    struct Case {
        const char* name;
        QList<QRect> monitors;  // the primary first
        QList<QRect> covered;
    };
    const Case cases[] = {
        {"no monitor", {}, {}},
        {"one monitor", {primary}, {}},
        {"two side by side", {primary, right}, {right}},
        {"the primary on the right", {right, primary}, {primary}},
        {"three, in their order", {primary, right, above}, {right, above}},
        {"a mirror of the primary", {primary, primary}, {}},
        {"a smaller mirror inside the primary", {primary, QRect(0, 0, 1280, 1024)}, {}},
        {"one that overlaps the primary in part",
         {primary, QRect(1000, 0, 1920, 1080)},
         {QRect(1000, 0, 1920, 1080)}},
        {"the same monitor listed twice", {primary, right, right}, {right}},
        {"an empty rectangle", {primary, QRect(1920, 0, 0, 0), right}, {right}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(monitorsToCover(c.monitors), c.covered) << c.name;
    }
}

class CoverWindowTest : public ::testing::Test {
protected:
    CoverWindow::Input recordingInput() {
        return {[this] { ++buttons_; }, [this](int keyAscii) { keys_.append(keyAscii); }, {}};
    }

    int buttons_ = 0;
    QList<int> keys_;
};

TEST_F(CoverWindowTest, ShowsTheBackgroundPictureFromTheTopLeftOnTheBackgroundColour) {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(QColor(200, 10, 10));
    picture.setPixel(2, 1, qRgb(10, 200, 10));
    CoverWindow cover(QColor(1, 2, 3), picture, recordingInput());
    cover.resize(6, 4);
    const QImage shown = cover.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(6, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb expected = x < 3 && y < 2 ? picture.pixel(x, y) : qRgb(1, 2, 3);
            EXPECT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(CoverWindowTest, EveryButtonEventReportsAPressAndMovementNothing) {
    CoverWindow cover(Qt::black, QImage(), recordingInput());
    cover.resize(20, 20);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseMove}) {
        QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&cover, &event);
    }
    EXPECT_EQ(buttons_, 3);
    EXPECT_TRUE(keys_.isEmpty());
}

TEST_F(CoverWindowTest, KeysReportTheirCharacterCodeAndKeysWithoutOneNothing) {
    CoverWindow cover(Qt::black, QImage(), recordingInput());
    struct Case {
        Qt::Key key;
        QString text;
    };
    for (const Case& c : {Case{Qt::Key_Space, " "}, Case{Qt::Key_N, "n"}, Case{Qt::Key_Q, "Q"},
                          Case{Qt::Key_Tab, "\t"}, Case{Qt::Key_Shift, ""}, Case{Qt::Key_F5, ""}}) {
        QKeyEvent event(QEvent::KeyPress, c.key, Qt::NoModifier, c.text);
        QCoreApplication::sendEvent(&cover, &event);
    }
    EXPECT_EQ(keys_, (QList<int>{' ', 'n', 'Q', '\t'}));
    EXPECT_EQ(buttons_, 0);
}

}  // namespace
}  // namespace lumi::display
