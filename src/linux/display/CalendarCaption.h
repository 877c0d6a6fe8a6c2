// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "display/CalendarStrip.h"

namespace lumi::display {

// The calendar strip's text for the moment `now`: the date as full weekday name, comma,
// space, abbreviated month name, day of the month without a leading zero and four-digit
// year, all names in `locale`'s language; then " --- "; then the time of day in `locale`'s
// long time format with the time-zone name taken out. Every space in it is a plain space
// (U+0020), whichever kind of space the locale's formats hold. Example for US English:
// "Sunday, Dec 6 2026 --- 1:23:45 AM". The date and the time both come from `now`, so a
// caption never pairs one day's date with the next day's time. The display calls this once
// a second with the system locale.
QString calendarCaption(const QDateTime& now, const QLocale& locale);

// The date part of calendarCaption(): "Sunday, Jul 14 2019" in US English. The photo-date
// caption shows the day a photo was taken in it.
QString calendarDate(QDate date, const QLocale& locale);

// `format`, a time format of QLocale, without its time-zone part, so that the clock shows
// seconds (which only the long formats carry) but no zone name.
//
// The rule: every "t" outside single quotes is a time-zone letter and goes, whatever the
// count; brackets, "()" or "[]", that are left holding nothing but white space go with it
// (some languages write the zone as "(t)" or "[t]"); a run of white space outside quotes
// shrinks to its first character; white space left at either end goes. Text in single
// quotes, with '' standing for one quote, stays exactly as it is, so a literal "t" there is
// kept.
QString timeFormatWithoutZone(const QString& format);


}  // namespace lumi::display
