// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IntegerConversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lumi::settings {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The UTF-8 encodings of the Unicode white space beyond ASCII: U+0085, U+00A0, U+1680,
// U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
constexpr std::string_view kWideSpaces[] = {
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
    "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
    "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
    "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};

// The length of the white space that `text` starts with (at its end with `atEnd`), 0 for none.
std::size_t spaceLength(std::string_view text, bool atEnd) {
    if (text.empty()) {
        return 0;
    }
    const char edge = atEnd ? text.back() : text.front();
    if (edge == ' ' || (edge >= '\t' && edge <= '\r')) {
        return 1;
    }
    for (const std::string_view space : kWideSpaces) {
        if (atEnd ? text.ends_with(space) : text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

// True when `text` (already trimmed) is exactly one decimal number in the accepted syntax.
// The power of ten of its first significant digit goes to `magnitude` (0 for a zero), so that
// a number out of a double's range can be told too large or too small.
bool isDecimalNumber(std::string_view text, long long& magnitude) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    long long leading = 0;  // the power of ten of the first nonzero digit, before the exponent
    bool significant = false;
    while (i < n && isDigit(text[i])) {
        if (significant || text[i] != '0') {
            leading += significant ? 1 : 0;
            significant = true;
        }
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        long long place = -1;
        while (i < n && isDigit(text[i])) {
            if (!significant && text[i] != '0') {
                leading = place;
                significant = true;
            }
            --place;
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < n && text[i] == '-';
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            // Held far past any double's exponent, and far from overflowing.
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1'000'000'000LL);
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
        exponent = negative ? -exponent : exponent;
    }
    magnitude = significant ? leading + exponent : 0;
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

std::string_view trimmedOfWhiteSpace(std::string_view text) {
    while (const std::size_t length = spaceLength(text, false)) {
        text.remove_prefix(length);
    }
    while (const std::size_t length = spaceLength(text, true)) {
        text.remove_suffix(length);
    }
    return text;
}

std::optional<double> toNumber(std::string_view text) {
    std::string_view trimmed = trimmedOfWhiteSpace(text);
    long long magnitude = 0;
    if (!isDecimalNumber(trimmed, magnitude)) {
        return std::nullopt;
    }
    // from_chars takes no plus sign; it reads the rest exactly as checked, in any locale.
    if (trimmed.front() == '+') {
        trimmed.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error == std::errc() && end == trimmed.data() + trimmed.size()) {
        return value;
    }
    // Past the syntax check the parser fails only on range: a magnitude too large to hold is
    // no number, one too small is 0.
    if (magnitude > 0) {
        return std::nullopt;
    }
    return 0.0;
}

std::optional<std::int16_t> toInteger(std::string_view text) {
    const std::optional<double> number = toNumber(text);
    if (!number) {
        return std::nullopt;
    }
    const double rounded = roundHalfToEven(*number);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace lumi::settings
