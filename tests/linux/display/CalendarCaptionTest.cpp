// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include "linux/display/CalendarCaption.h"

namespace lumi::display {
namespace {

const QDateTime kNow{QDate(2026, 12, 6), QTime(1, 23, 45)};


TEST(CalendarCaptionTest, ShowsDateDashesAndTimeWithSecondsWithoutZone) {
    const struct {
        const char* locale;
        const char* caption;
    } cases[] = {
        {"en_US", "Sunday, Dec 6 2026 --- 1:23:45 AM"},
        {"en_GB", "Sunday, Dec 6 2026 --- 01:23:45"},
        {"de_DE", "Sonntag, Dez. 6 2026 --- 01:23:45"},
        {"es_ES", "domingo, dic 6 2026 --- 1:23:45"},             // zone written "(t)"
        {"zh_CN", "星期日, 12月 6 2026 --- 01:23:45"},            // zone first
        {"fr_CA", "dimanche, déc. 6 2026 --- 01 h 23 min 45 s"},  // quoted literals
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calendarCaption(kNow, QLocale(c.locale)), QString::fromUtf8(c.caption))
            << c.locale;
    }
}

TEST(CalendarCaptionTest, ShowsTheWallClockTimeWhateverTheZoneOfTheMoment) {
    const QDateTime utc{QDate(2026, 12, 6), QTime(13, 5, 9), QTimeZone::utc()};
    EXPECT_EQ(calendarCaption(utc, QLocale("en_US")), "Sunday, Dec 6 2026 --- 1:05:09 PM");
}

// Newer locale data writes a narrow no-break space before "AM" and "PM", older data a plain
// one; the caption holds plain spaces whatever the data, as every case above expects.
TEST(CalendarCaptionTest, EveryKindOfSpaceBecomesAPlainSpace) {
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const QString caption = calendarCaption(kNow, locale);
        for (const QChar character : caption) {
            EXPECT_TRUE(character.category() != QChar::Separator_Space || character == u' ')
                << qPrintable(locale.name()) << " U+" << std::hex << int(character.unicode());
        }
    }
}

TEST(CalendarCaptionTest, TimeFormatLosesOnlyTheZone) {
    const struct {
        const char* format;
        const char* stripped;
    } cases[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"H:mm:ss (t)", "H:mm:ss"},
        {"APh:mm:ss [t]", "APh:mm:ss"},
        {"HH:mm:ss tttt", "HH:mm:ss"},
        {"HH 'h' mm 'min' ss 's' t", "HH 'h' mm 'min' ss 's'"},
        {"HH 'at''t' mm t", "HH 'at''t' mm"},
        {"H:mm:ss 'ч'. t", "H:mm:ss 'ч'."},
        {"HH:mm:ss", "HH:mm:ss"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeFormatWithoutZone(QString::fromUtf8(c.format)), QString::fromUtf8(c.stripped))
            << c.format;
    }
}

TEST(CalendarCaptionTest, StripTopIsAtNinetyTwoPointTwoPercentRounded) {
    EXPECT_EQ(calendarTop(500), 461);
    EXPECT_EQ(calendarTop(768), 708);   // 708.096
    EXPECT_EQ(calendarTop(1080), 996);  // 995.76
    EXPECT_EQ(calendarTop(600), 553);   // 553.2
}

}  // namespace
}  // namespace lumi::display
