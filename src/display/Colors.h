// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumi::display {

// Colour values as the display keeps them: 0x00BBGGRR for a plain colour, 0x80000000 plus
// an index for a system colour, and -1 for "no colour" (what a pixel read outside a
// picture yields).
using ColorValue = std::int32_t;

inline constexpr ColorValue kWhite = 0x00FFFFFF;
inline constexpr ColorValue kBlack = 0x00000000;
// The system colour 15: the platform's button-face colour.
inline constexpr ColorValue kButtonFace = static_cast<ColorValue>(0x8000000F);
inline constexpr ColorValue kNoColor = -1;

inline constexpr bool isSystemColor(ColorValue value) {
    return value != kNoColor && (static_cast<std::uint32_t>(value) & 0x80000000u) != 0;
}

}  // namespace lumi::display
