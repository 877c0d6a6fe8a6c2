// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace lumi::settings {

// The conversion that every reader of a stored setting applies to its text, so that the
// display and the Setup dialog agree on what a value means.
//
// Accepted text: optional surrounding white space, an optional sign, decimal digits with an
// optional decimal point (".5" and "5." are numbers), and an optional exponent ("e" or "E",
// optional sign, digits). The decimal point is always a dot, whatever the user's locale.
// Anything else in the text (group separators, hexadecimal, "inf", "nan", trailing
// characters, a bare sign or point) makes the text no number.

// The number the text denotes, or nullopt when the text is no finite number.
std::optional<double> toNumber(const QString& text);

// The number rounded to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2), or nullopt when the text is no number or the rounded value lies
// outside -32768..32767.
std::optional<qint16> toInteger(const QString& text);

}  // namespace lumi::settings
