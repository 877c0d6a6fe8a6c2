// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace lumi::startup {

// The number at the end of a normalised preview command line ("/p 1234", "/p:1234"): the
// longest tail of the line that reads as a number (surrounding spaces, a sign, a decimal
// point and an exponent allowed), rounded to a 32-bit integer with halves to even.
// 0 when no tail reads as a number or the number lies outside the 32-bit range.
std::int32_t previewWindowNumber(std::string_view normalisedCommandLine);

}  // namespace lumi::startup
