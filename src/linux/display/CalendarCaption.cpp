// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/CalendarCaption.h"

#include <QList>
#include <QRegularExpression>

#include <cmath>

namespace lumi::display {

namespace {

constexpr QChar kQuote = u'\'';

// A stretch of a QLocale format: either a quoted literal, kept with its quotes, or the
// format letters and plain characters between such literals.
struct FormatPiece {
    QString text;
    bool quoted = false;
};

QList<FormatPiece> splitAtQuotes(const QString& format) {
    QList<FormatPiece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        qsizetype end = i;
        if (format[i] == kQuote) {
            // Up to the closing quote; '' inside a literal is a quote character, not the end.
            end = i + 1;
            while (end < format.size()) {
                if (format[end] == kQuote) {
                    if (end + 1 < format.size() && format[end + 1] == kQuote) {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                ++end;
            }
            pieces.append({format.mid(i, end - i), true});
        } else {
            while (end < format.size() && format[end] != kQuote) {
                ++end;
            }
            pieces.append({format.mid(i, end - i), false});
        }
        i = end;
    }
    return pieces;
}

void trimStart(QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text[n].isSpace()) {
        ++n;
    }
    text.remove(0, n);
}

void trimEnd(QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1].isSpace()) {
        --n;
    }
    text.truncate(n);
}

}  // namespace

QString timeFormatWithoutZone(const QString& format) {
    static const QRegularExpression emptyBrackets(QStringLiteral(R"(\(\s*\)|\[\s*\])"));
    static const QRegularExpression spaceRun(QStringLiteral(R"((\s)\s+)"));

    QList<FormatPiece> pieces = splitAtQuotes(format);
    for (FormatPiece& piece : pieces) {
        if (piece.quoted) {
            continue;
        }
        piece.text.remove(u't');
        piece.text.remove(emptyBrackets);
        piece.text.replace(spaceRun, QStringLiteral("\\1"));
    }
    // Trim the white space at both ends, looking through pieces that became empty.
    for (FormatPiece& piece : pieces) {
        if (piece.quoted) {
            break;
        }
        trimStart(piece.text);
        if (!piece.text.isEmpty()) {
            break;
        }
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        if (it->quoted) {
            break;
        }
        trimEnd(it->text);
        if (!it->text.isEmpty()) {
            break;
        }
    }

    QString result;
    for (const FormatPiece& piece : pieces) {
        result += piece.text;
    }
    return result;
}

QString calendarDate(QDate date, const QLocale& locale) {
    // In QLocale's letters "MMM" is the abbreviated month; "mmm" would be minutes.
    return locale.toString(date, QStringLiteral("dddd, MMM d yyyy"));
}

QString calendarCaption(const QDateTime& now, const QLocale& locale) {
    const QString date = calendarDate(now.date(), locale);
    const QString time =
        locale.toString(now.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    QString caption = date + QStringLiteral(" --- ") + time;
    // Newer locale data separates "AM" and "PM" by a narrow no-break space, and other
    // languages use further spaces of their own, which the caption's font has no glyph for.
    // Each is shown as the plain space that the font has.
    for (QChar& character : caption) {
        if (character.category() == QChar::Separator_Space) {
            character = QLatin1Char(' ');
        }
    }
    return caption;
}

}  // namespace lumi::display
