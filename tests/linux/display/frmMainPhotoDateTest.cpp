// SPDX-License-Identifier: GPL-3.0-or-later
#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include "linux/display/CalendarCaption.h"
#include "display/DisplayFixture.h"
#include "support/ExifBlock.h"
#include "support/Files.h"

namespace lumi::display {
namespace {

constexpr QRgb kYellow = 0xFFFFFF00;

// A JPEG of one colour, with `dateTime` as its EXIF DateTimeOriginal unless it is null.
QByteArray photo(QColor color, const char* dateTime) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(color);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    if (!dateTime) {
        return jpeg;
    }
    const QByteArray app1 = QByteArray("Exif\0\0", 6) + testing::exifBlock(dateTime);
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((app1.size() + 2) >> 8)).append(char((app1.size() + 2) & 0xFF));
    return jpeg.left(2) + segment + app1 + jpeg.mid(2);
}

class PhotoDateCaptionTest : public testing::DisplayFixture {
protected:
    void SetUp() override {
        settings_.write("SetReg", "2");
        settings_.write("BG", "1");
        settings_.write("Delay", "1");
        settings_.write("MouseSen", "4");
        settings_.write("PhotoDate", "1");
        settings_.write("Calendar", "1");
        QStringList list;
        const struct {
            const char* name;
            QColor color;
            const char* taken;
        } photos[] = {{"july.jpg", Qt::darkGreen, "2019:07:14 10:20:30"},
                      {"march.jpg", Qt::darkBlue, "2021:03:02 08:00:00"},
                      {"undated.jpg", Qt::darkRed, nullptr}};
        for (const auto& p : photos) {
            list.append(installDir() + p.name);
            ASSERT_TRUE(testing::writeFileBytes(list.last(), photo(p.color, p.taken)));
        }
        writeList(list);
    }

    // Shows the next picture and waits until its painting has begun.
    void advanceAndWaitForThePaintingToBegin(frmMain& form) {
        form.AdvancePicture();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window().loader().loading(); }, 60'000));
    }

    // Yellow pixels of the caption in a grab of the whole form within `rect`.
    int yellowPixels(QRect rect) {
        const QImage shot = window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                count += shot.pixel(x, y) == kYellow;
            }
        }
        return count;
    }
};

// The date of each photo shows from the start of its painting, in the bottom-right corner at
// the calendar strip's height, and changes with the picture; a photo without a date shows
// none.
TEST_F(PhotoDateCaptionTest, EachPhotoShowsTheDayItWasTakenInTheBottomRightCorner) {
    const QSize screen(1024, 768);
    frmMain& form = loadForm(screen);
    window().resize(screen);
    form.Form_Activate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().loader().loading(); }, 60'000));
    EXPECT_TRUE(window().picDate->isVisible() || !window().isVisible());
    EXPECT_FALSE(window().picDate->isHidden());
    EXPECT_EQ(window().lblDate->text(), calendarDate(QDate(2019, 7, 14), QLocale()));
    const QRect strip = window().picDate->geometry();
    EXPECT_EQ(strip.right(), screen.width() - 5 - 1);
    EXPECT_EQ(strip.top(), calendarTop(screen.height()));
    EXPECT_EQ(strip.height(), window().picCal->height());
    EXPECT_FALSE(strip.intersects(window().picCal->geometry()));
    EXPECT_GT(yellowPixels(strip), 20);
    const QFontMetrics metrics(window().lblDate->font());
    EXPECT_GE(window().lblDate->width(), metrics.horizontalAdvance(window().lblDate->text()));

    waitForPicture();
    advanceAndWaitForThePaintingToBegin(form);
    EXPECT_FALSE(window().picDate->isHidden());
    EXPECT_EQ(window().lblDate->text(), calendarDate(QDate(2021, 3, 2), QLocale()));
    EXPECT_EQ(window().picDate->geometry().right(), screen.width() - 5 - 1);

    waitForPicture();
    advanceAndWaitForThePaintingToBegin(form);
    EXPECT_TRUE(window().picDate->isHidden());
    EXPECT_EQ(yellowPixels(strip), 0);
}

TEST_F(PhotoDateCaptionTest, NothingShowsWithTheSettingOff) {
    settings_.write("PhotoDate", "0");
    frmMain& form = loadForm({640, 480});
    form.Form_Activate();
    waitForPicture();
    EXPECT_TRUE(window().picDate->isHidden());
}

// However narrow the screen, the date strip stays within it and clear of the calendar strip:
// a date too long for the room is cut short, and no strip shows where no date would be
// readable.
TEST_F(PhotoDateCaptionTest, TheDateNeverOverlapsTheCalendarStrip) {
    for (const char* calendar : {"1", "0"}) {
        for (const QSize screen : {QSize(1024, 768), QSize(480, 320), QSize(320, 240),
                                   QSize(200, 150)}) {
            settings_.write("Calendar", calendar);
            frmMain& form = loadForm(screen);
            window().resize(screen);
            form.Form_Activate();
            waitForPicture();
            const QRect strip = window().picDate->geometry();
            const std::string where = std::to_string(screen.width()) + " wide, calendar " +
                                      calendar;
            if (window().picDate->isHidden()) {
                EXPECT_LT(screen.width(), 400) << where;
                continue;
            }
            // Across the screen; down it, the strip stands where the calendar strip stands.
            EXPECT_GE(strip.left(), 0) << where;
            EXPECT_LT(strip.right(), screen.width()) << where;
            EXPECT_EQ(strip.top(), calendarTop(screen.height())) << where;
            if (form.CalendarOn == 1) {
                EXPECT_GT(strip.left(), window().picCal->geometry().right() + 1) << where;
            }
            const QString full = calendarDate(QDate(2019, 7, 14), QLocale());
            const QFontMetrics metrics(window().lblDate->font());
            EXPECT_TRUE(window().lblDate->text() == full || window().lblDate->text().endsWith(u'…'))
                << where;
            EXPECT_LE(metrics.horizontalAdvance(window().lblDate->text()), window().lblDate->width())
                << where;
        }
    }
}

}  // namespace
}  // namespace lumi::display
