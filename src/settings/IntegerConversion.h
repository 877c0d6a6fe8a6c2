// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumi::settings {

// The conversion that every reader of a stored setting applies to its text, so that the
// display and the Setup dialog agree on what a value means.
//
// The text is UTF-8. Accepted: optional surrounding white space (ASCII white space and the
// Unicode space, line and paragraph separators), an optional sign, decimal digits with an
// optional decimal point (".5" and "5." are numbers), and an optional exponent ("e" or "E",
// optional sign, digits). The decimal point is always a dot, whatever the user's locale.
// Anything else in the text (group separators, hexadecimal, "inf", "nan", trailing
// characters, a bare sign or point, bytes that are not UTF-8) makes the text no number.

// The number the text denotes, correctly rounded, or nullopt when the text is no finite
// number. A magnitude too small for a double is 0.
std::optional<double> toNumber(std::string_view text);

// The number rounded to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2), or nullopt when the text is no number or the rounded value lies
// outside -32768..32767.
std::optional<std::int16_t> toInteger(std::string_view text);

// `text` without the white space that toNumber() allows around a number.
std::string_view trimmedOfWhiteSpace(std::string_view text);

}  // namespace lumi::settings
