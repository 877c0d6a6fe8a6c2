// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdlib>

#include "display/DisplayFixture.h"
#include "linux/display/CorePixels.h"

namespace lumi::display {
namespace {

constexpr QSize kScreen(24, 16);

// A picture whose every pixel has its own colour, so that any misplaced pixel shows.
QImage distinctPicture(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(seed * 40 + x * 7, 100 + y * 9, (x * 13 + y * 5) % 256));
        }
    }
    return image;
}

// The display form on fakes, with real picture files in a temporary install folder.
class SequenceTest : public testing::DisplayFixture {
protected:
    void SetUp() override {
        settings_.write("SetReg", "2");
        settings_.write("BG", "1");
        settings_.write("Delay", "1");
        settings_.write("MouseSen", "4");
    }

    frmMain& loadForm() { return DisplayFixture::loadForm(kScreen); }
};

TEST_F(SequenceTest, FirstPictureIsCentredAndPaintedThenTheSlideTimerRuns) {
    const QImage picture = distinctPicture(9, 5, 1);
    writeList({savePicture("a.png", picture)});
    frmMain& form = loadForm();
    EXPECT_EQ(window().loader().decodeCount(), 1);  // the decode starts with the load
    form.Form_Activate();
    EXPECT_FALSE(form.Timer1.isActive());  // off while the picture loads and paints
    waitForPicture();
    EXPECT_EQ(window().loader().decodeCount(), 1);

    // (24 - 9) / 2 = 7.5 and (16 - 5) / 2 = 5.5, rounded; the canvas is one pixel smaller.
    EXPECT_EQ(toQRect(form.picture1Geometry), QRect(8, 6, 9, 5));
    EXPECT_EQ(window().Pic2->geometry(), QRect(8, 6, 8, 4));
    EXPECT_EQ(form.BeamX, 9);
    EXPECT_EQ(form.BeamY, 5);
    EXPECT_EQ(canvas(), picture.copy(0, 0, 8, 4));
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_EQ(form.DelayCount, 0);
    EXPECT_EQ(form.painter().coloredBeams(), 10 * 6);
}

TEST_F(SequenceTest, PictureLargerThanTheScreenKeepsOnlyTheVisibleCanvas) {
    const QImage picture = distinctPicture(40, 30, 2);
    writeList({savePicture("big.png", picture)});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();
    // Left = 12 - 20 = -8, top = 8 - 15 = -7: negative, as the formulas give.
    EXPECT_EQ(toQRect(form.picture1Geometry), QRect(-8, -7, 40, 30));
    EXPECT_EQ(window().Pic2->image().size(), kScreen);
    EXPECT_EQ(window().Pic2->imageOrigin(), QPoint(8, 7));
    EXPECT_EQ(window().Pic2->image(), picture.copy(8, 7, kScreen.width(), kScreen.height()));
}

// With "FitLarge" 1 a picture larger than the screen is shrunk to fit it and then painted
// exactly as a picture of the shrunk size: canvas, place, beam origin and beams.
TEST_F(SequenceTest, FitLargeShrinksALargePictureAndPaintsItAtThatSize) {
    settings_.write("FitLarge", "1");
    // 2 x 2 blocks of one colour each, so that the picture halved keeps their colours.
    QImage picture(48, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 48; ++x) {
            picture.setPixel(x, y, qRgb(x / 2 * 10, y / 2 * 30, 200));
        }
    }
    const QString path = savePicture("wide.png", picture);
    writeList({path});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();

    const QImage painted = canvas();
    ASSERT_EQ(painted.size(), QSize(23, 7));
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 23; ++x) {
            const QRgb pixel = painted.pixel(x, y);
            ASSERT_LE(std::abs(qRed(pixel) - x * 10) + std::abs(qGreen(pixel) - y * 30), 2)
                << x << "," << y;
        }
    }
    // (16 - 8) / 2 = 4; the canvas is one pixel smaller, the origin its outer corner.
    EXPECT_EQ(toQRect(form.picture1Geometry), QRect(0, 4, 24, 8));
    EXPECT_EQ(window().Pic2->geometry(), QRect(0, 4, 23, 7));
    EXPECT_EQ(form.BeamX, 24);
    EXPECT_EQ(form.BeamY, 8);
    EXPECT_EQ(form.painter().coloredBeams(), 25 * 9);
}

TEST_F(SequenceTest, ThreePicturesShowInOrderAndWrap) {
    writeList({savePicture("a.png", distinctPicture(4, 3, 1)),
               savePicture("b.png", distinctPicture(5, 4, 2)),
               savePicture("c.png", distinctPicture(6, 2, 3))});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();
    QList<int> shown{form.PicIndex};
    for (int tick = 0; tick < 4; ++tick) {
        form.Timer1_Timer();  // Delay 1: every tick moves on
        waitForPicture();
        shown.append(form.PicIndex);
        EXPECT_FALSE(form.Picture1.ok());  // the canvas keeps the pixels
    }
    EXPECT_EQ(shown, (QList<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(canvas(), distinctPicture(5, 4, 2).copy(0, 0, 4, 3));
}

TEST_F(SequenceTest, OnePictureIsPaintedAgainEveryDelay) {
    settings_.write("Delay", "2");
    writeList({savePicture("a.png", distinctPicture(4, 3, 1))});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();
    form.Timer1_Timer();
    EXPECT_FALSE(form.changingPicture());
    EXPECT_EQ(form.DelayCount, 1);
    form.Timer1_Timer();
    EXPECT_TRUE(form.changingPicture());
    EXPECT_FALSE(form.Timer1.isActive());
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 0);
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_EQ(form.DelayCount, 0);
}

// A one-entry list decodes its picture once, however often it is painted, until the file
// changes: then the next painting shows the file as it is now.
TEST_F(SequenceTest, OnePictureIsDecodedOnceUntilItsFileChanges) {
    const QString file = savePicture("a.png", distinctPicture(4, 3, 1));
    writeList({file});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();
    for (int painting = 0; painting < 3; ++painting) {
        form.Timer1_Timer();  // Delay 1: every tick paints the entry again
        waitForPicture();
    }
    EXPECT_EQ(window().loader().decodeCount(), 1);
    EXPECT_EQ(canvas(), distinctPicture(4, 3, 1).copy(0, 0, 3, 2));

    savePicture("a.png", distinctPicture(6, 5, 2));
    form.Timer1_Timer();
    waitForPicture();
    EXPECT_EQ(window().loader().decodeCount(), 2);
    EXPECT_EQ(toQRect(form.picture1Geometry).size(), QSize(6, 5));
    EXPECT_EQ(canvas(), distinctPicture(6, 5, 2).copy(0, 0, 5, 4));
}

TEST_F(SequenceTest, DelayZeroNeverChangesThePictureAndTheCountStopsAtItsLimit) {
    settings_.write("Delay", "0");
    writeList({savePicture("a.png", distinctPicture(4, 3, 1)),
               savePicture("b.png", distinctPicture(4, 3, 2))});
    frmMain& form = loadForm();
    form.Form_Activate();
    waitForPicture();
    for (int tick = 0; tick < 5; ++tick) {
        form.Timer1_Timer();
    }
    EXPECT_EQ(form.DelayCount, 5);
    EXPECT_FALSE(form.changingPicture());
    form.DelayCount = 32766;
    form.Timer1_Timer();
    form.Timer1_Timer();
    EXPECT_EQ(form.DelayCount, 32767);
    EXPECT_EQ(form.PicIndex, 0);
}

TEST_F(SequenceTest, UnloadableEntriesAreSkippedAndReportedOnce) {
    QFile notAPicture(installDir() + "text.jpg");
    ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("no picture here");
    notAPicture.close();
    const QImage second = distinctPicture(5, 3, 2);
    writeList({notAPicture.fileName(), savePicture("a.png", distinctPicture(4, 3, 1)),
               installDir() + "missing.png", savePicture("b.png", second)});
    frmMain& form = loadForm();

    ::testing::internal::CaptureStderr();
    form.Form_Activate();
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 1);
    form.Timer1_Timer();
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 3);
    EXPECT_EQ(canvas(), second.copy(0, 0, 4, 2));
    form.Timer1_Timer();  // wraps to the unloadable entry 0 again: skipped to 1
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 1);
    const QString errors = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(errors.count("text.jpg"), 1) << errors.toStdString();
    EXPECT_EQ(errors.count("missing.png"), 1) << errors.toStdString();
    // Each unloadable file was tried once; a.png twice, b.png once.
    EXPECT_EQ(window().loader().decodeCount(), 5);
}

TEST_F(SequenceTest, WhenNoEntryLoadsTheScreenStaysAndTheNextDelayTriesAgain) {
    writeList({installDir() + "gone1.png", installDir() + "gone2.png"});
    frmMain& form = loadForm();
    ::testing::internal::CaptureStderr();
    form.Form_Activate();
    waitForPicture();
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_FALSE(form.Picture1.ok());
    EXPECT_EQ(window().Pic2->size(), QSize(0, 0));

    // The next Delay tries again; once a file appears, it is shown.
    savePicture("gone2.png", distinctPicture(3, 3, 4));
    form.Timer1_Timer();
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 1);
    EXPECT_EQ(canvas(), distinctPicture(3, 3, 4).copy(0, 0, 2, 2));
    const QString errors = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(errors.count("gone1.png"), 1);
}

TEST_F(SequenceTest, ANewPictureAbandonsTheRunningPaintingForGood) {
    const QImage wide = distinctPicture(20, 6, 1);
    const QImage small = distinctPicture(3, 3, 2);
    writeList({savePicture("wide.png", wide), savePicture("small.png", small)});
    frmMain& form = loadForm();
    form.Form_Activate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.painter().column() >= 3; }, 120000));
    ASSERT_TRUE(form.painter().running());

    form.AdvancePicture();
    waitForPicture();
    EXPECT_EQ(form.PicIndex, 1);
    EXPECT_EQ(canvas(), small.copy(0, 0, 2, 2));
    EXPECT_EQ(form.painter().coloredBeams(), 4 * 4);  // counts of the new painting only
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_EQ(form.DelayCount, 0);
    QTest::qWait(50);
    EXPECT_EQ(canvas(), small.copy(0, 0, 2, 2));  // nothing of the old painting follows
}

// Mouse input ---------------------------------------------------------------------------

class MouseTest : public SequenceTest {
protected:
    frmMain& activeForm() {
        writeList({savePicture("a.png", distinctPicture(9, 6, 1))});
        frmMain& form = loadForm();
        form.Form_Activate();
        waitForPicture();
        return form;
    }

    void moveOverCanvas() {
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_->Pic2, &move);
    }

    void pauseSeconds(double seconds) { clock_.seconds += seconds; }
};

TEST_F(MouseTest, MouseSenMovesOverTheCanvasEndTheScreenSaver) {
    activeForm();
    for (int move = 0; move < 3; ++move) {
        moveOverCanvas();
    }
    EXPECT_EQ(processEnds_, 0);
    moveOverCanvas();
    EXPECT_EQ(processEnds_, 1);
    EXPECT_EQ(player_.stops, 1);
    EXPECT_EQ(cursor_.count, 0);
    EXPECT_EQ(windows_.runningCalls, QList<bool>{false});
}

TEST_F(MouseTest, TheMoveAfterAPauseIsCountedBeforeTheWindowIsFoundTooOld) {
    activeForm();  // MouseSen 4
    clock_.seconds = 1000.4;
    for (int move = 0; move < 3; ++move) {
        moveOverCanvas();
    }
    pauseSeconds(20);
    moveOverCanvas();
    EXPECT_EQ(processEnds_, 1);
}

TEST_F(MouseTest, WithFiveMovesNeededAPauseDiscardsTheCount) {
    settings_.write("MouseSen", "5");
    frmMain& form = activeForm();
    clock_.seconds = 1000.6;
    for (int move = 0; move < 3; ++move) {
        moveOverCanvas();
    }
    EXPECT_EQ(form.MoveStart, 1001);  // rounded
    pauseSeconds(20);
    moveOverCanvas();
    EXPECT_EQ(form.MoveCount, 0);
    EXPECT_EQ(form.MoveStart, 0);
    moveOverCanvas();
    EXPECT_EQ(form.MoveCount, 1);
    EXPECT_EQ(processEnds_, 0);
}

// A MouseSen of 0 or less, or one that does not convert (which leaves it 0), never ends the
// screen saver by movement, not even once the count stops at its 16-bit limit.
TEST_F(MouseTest, MouseSenZeroOrLessNeverEndsByMovement) {
    for (const char* stored : {"0", "-3", "abc", "40000"}) {
        SCOPED_TRACE(stored);
        settings_.write("MouseSen", stored);
        frmMain& form = activeForm();
        clock_.seconds = 100;
        for (int move = 0; move < 40000; ++move) {
            moveOverCanvas();
        }
        EXPECT_EQ(form.MoveCount, 32767);
        EXPECT_EQ(processEnds_, 0);
        EXPECT_EQ(player_.stops, 0);
    }
}

TEST_F(MouseTest, ExactlyTenSecondsKeepTheWindowOpen) {
    settings_.write("MouseSen", "5");
    frmMain& form = activeForm();
    clock_.seconds = 500;
    moveOverCanvas();
    pauseSeconds(10);
    moveOverCanvas();
    EXPECT_EQ(form.MoveCount, 2);
}

TEST_F(MouseTest, AcrossMidnightOnlyTheCountEnds) {
    frmMain& form = activeForm();
    clock_.seconds = 86395;
    moveOverCanvas();
    clock_.seconds = 30;  // after midnight the difference is negative
    moveOverCanvas();
    EXPECT_EQ(form.MoveCount, 2);
    moveOverCanvas();
    moveOverCanvas();
    EXPECT_EQ(processEnds_, 1);
}

TEST_F(MouseTest, MovesBeforeActivationAreNotCounted) {
    writeList({savePicture("a.png", distinctPicture(9, 6, 1))});
    frmMain& form = loadForm();
    for (int move = 0; move < 10; ++move) {
        moveOverCanvas();
    }
    EXPECT_EQ(form.MoveCount, 0);
    EXPECT_EQ(processEnds_, 0);
}

TEST_F(MouseTest, MovementOutsideTheCanvasNeverEnds) {
    activeForm();
    for (int move = 0; move < 10; ++move) {
        QMouseEvent event(QEvent::MouseMove, QPointF(0, 0), QPointF(0, 0), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &event);
        QCoreApplication::sendEvent(window().picCal, &event);
    }
    EXPECT_EQ(processEnds_, 0);
}

TEST_F(MouseTest, APressOverTheCanvasEndsAtThePress) {
    activeForm();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window().Pic2, &press);
    EXPECT_EQ(processEnds_, 1);
    EXPECT_EQ(player_.stops, 1);
}

TEST_F(MouseTest, AReleaseOverTheFormEndsButNotOverTheCalendarStrip) {
    activeForm();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(0, 0), QPointF(0, 0), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window().picCal, &release);
    EXPECT_EQ(processEnds_, 0);
    QCoreApplication::sendEvent(&window(), &release);
    EXPECT_EQ(processEnds_, 1);
}

}  // namespace
}  // namespace lumi::display
