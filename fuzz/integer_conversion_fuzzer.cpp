// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the text-to-number conversion of stored settings against a reference written apart
// from it: the input, decoded as UTF-8 (a byte that is not UTF-8 counts as no character of a
// number), is trimmed of white space, must then consist of the characters of a decimal number
// only and be taken whole by the C library's strtod(); the integer is that double rounded by
// truncation and an explicit look at the fraction.

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "settings/IntegerConversion.h"

namespace {

using lumi::fuzz::check;

// The characters that count as white space around a number: the ASCII ones and the Unicode
// space, line and paragraph separators (with U+2000 to U+200A, tested apart).
constexpr char16_t kWhiteSpace[] = {0x09, 0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,
                                    0xA0, 0x1680, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};

bool isWhiteSpace(char32_t c) {
    return (c >= 0x2000 && c <= 0x200A) ||
           std::find(std::begin(kWhiteSpace), std::end(kWhiteSpace), c) != std::end(kWhiteSpace);
}

bool isNumberCharacter(char32_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' ||
           c == u'E';
}

// The characters of UTF-8 `bytes`; a byte that begins no well-formed sequence of at most
// three bytes (all that the white space and the digits need) reads as U+FFFD.
std::vector<char32_t> decode(std::string_view bytes) {
    std::vector<char32_t> characters;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
        const auto continues = [&](std::size_t at) {
            return at < bytes.size() && (byte(at) & 0xC0) == 0x80;
        };
        if (byte(i) < 0x80) {
            characters.push_back(byte(i));
            i += 1;
        } else if ((byte(i) & 0xE0) == 0xC0 && byte(i) >= 0xC2 && continues(i + 1)) {
            characters.push_back(((byte(i) & 0x1F) << 6) | (byte(i + 1) & 0x3F));
            i += 2;
        } else if ((byte(i) & 0xF0) == 0xE0 && continues(i + 1) && continues(i + 2)) {
            const char32_t c = ((byte(i) & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) |
                               (byte(i + 2) & 0x3F);
            characters.push_back(c >= 0x800 && (c < 0xD800 || c > 0xDFFF) ? c : 0xFFFD);
            i += 3;
        } else {
            characters.push_back(0xFFFD);
            i += 1;
        }
    }
    return characters;
}

// The number that `bytes` denote, or nullopt when they are none or not finite.
std::optional<double> referenceNumber(std::string_view bytes) {
    const std::vector<char32_t> text = decode(bytes);
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isWhiteSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhiteSpace(text[end - 1])) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    std::string ascii;
    for (std::size_t i = begin; i < end; ++i) {
        if (!isNumberCharacter(text[i])) {
            return std::nullopt;  // this also keeps out strtod's hexadecimal, inf and nan
        }
        ascii += static_cast<char>(text[i]);
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
    const std::string_view text(reinterpret_cast<const char*>(data), size);
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
