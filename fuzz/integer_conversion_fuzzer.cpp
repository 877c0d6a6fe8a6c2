// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the text-to-number conversion of stored settings against a reference written apart
// from it: the input, read as UTF-8, is trimmed of white space, must then consist of the
// characters of a decimal number only and be taken whole by the C library's strtod(); the
// integer is that double rounded by truncation and an explicit look at the fraction.
#include <QString>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "linux/settings/IntegerConversion.h"

namespace {

using lumi::fuzz::check;

// The characters that count as white space around a number: the ASCII ones and the Unicode
// space, line and paragraph separators (with U+2000 to U+200A, tested apart).
constexpr char16_t kWhiteSpace[] = {0x09, 0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,
                                    0xA0, 0x1680, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};

bool isWhiteSpace(char16_t c) {
    return (c >= 0x2000 && c <= 0x200A) ||
           std::find(std::begin(kWhiteSpace), std::end(kWhiteSpace), c) != std::end(kWhiteSpace);
}

bool isNumberCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' ||
           c == u'E';
}

// The number that `text` denotes, or nullopt when it is none or not finite.
std::optional<double> referenceNumber(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhiteSpace(text[begin].unicode())) {
        ++begin;
    }
    while (end > begin && isWhiteSpace(text[end - 1].unicode())) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    std::string ascii;
    for (qsizetype i = begin; i < end; ++i) {
        if (!isNumberCharacter(text[i].unicode())) {
            return std::nullopt;  // this also keeps out strtod's hexadecimal, inf and nan
        }
        ascii += static_cast<char>(text[i].unicode());
    }
    char* stop = nullptr;
    const double value = std::strtod(ascii.c_str(), &stop);
    if (stop != ascii.c_str() + ascii.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// `value` rounded to the nearest integer, halves to the even one, if that lies in 16 bits.
std::optional<std::int16_t> referenceInteger(double value) {
    if (!(value > -40000.0 && value < 40000.0)) {
        return std::nullopt;
    }
    auto whole = static_cast<long>(value);  // towards zero
    const double fraction = value - whole;  // exact for numbers this small
    const bool odd = whole % 2 != 0;
    if (fraction > 0.5 || (fraction == 0.5 && odd)) {
        ++whole;
    } else if (fraction < -0.5 || (fraction == -0.5 && odd)) {
        --whole;
    }
    if (whole < -32768 || whole > 32767) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(whole);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::setlocale(LC_NUMERIC, "C");  // strtod() reads a dot as the decimal point
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<double> expected = referenceNumber(text);
    const std::optional<double> number = lumi::settings::toNumber(text);
    check(number.has_value() == expected.has_value(), "the same texts are numbers");
    if (expected) {
        check(*number == *expected, "a number has the value that strtod() reads");
    }
    const std::optional<std::int16_t> integer =
        expected ? referenceInteger(*expected) : std::nullopt;
    check(lumi::settings::toInteger(text) == integer, "the integer is the rounded number");
    return 0;
}
