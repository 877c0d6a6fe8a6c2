// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/IntegerConversion.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace lumi::settings {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// True when `text` (already trimmed) is exactly one decimal number in the accepted syntax.
// The check comes first because QLocale's parser is more liberal than the rule readers
// rely on: it would also take group separators, "inf" and "nan".
bool isDecimalNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            ++i;
        }
        qsizetype exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == n;
}

// Rounds to the nearest integer; a value exactly halfway goes to the even neighbour. Done by
// hand rather than with the floating-point environment's rounding mode, which other code
// could have changed.
double roundHalfToEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;  // exact: value and lower are close
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace

std::optional<double> toNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!isDecimalNumber(trimmed)) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (ok) {
        return value;
    }
    // Past the syntax check the parser fails only on range: it answers an infinity for a
    // magnitude too large to hold, which is no number, and 0 for one too small, which is 0.
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return 0.0;
}

std::optional<qint16> toInteger(const QString& text) {
    const std::optional<double> number = toNumber(text);
    if (!number) {
        return std::nullopt;
    }
    const double rounded = roundHalfToEven(*number);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(rounded);
}

}  // namespace lumi::settings
