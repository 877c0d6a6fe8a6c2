// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace lumi::display {

// Colour values as the display keeps them: 0x00BBGGRR for a plain colour, 0x80000000 plus
// an index for a system colour, and -1 for "no colour" (what a pixel read outside a
// picture yields). They travel between the display's routines as their decimal text.
using ColorValue = qint32;

inline constexpr ColorValue kWhite = 0x00FFFFFF;
inline constexpr ColorValue kBlack = 0x00000000;
inline constexpr ColorValue kButtonFace = static_cast<ColorValue>(0x8000000F);
inline constexpr ColorValue kNoColor = -1;

// The colour that `value` stands for; nothing for -1 or an unknown system colour. The
// system colour 15 is the platform's button-face colour.
std::optional<QColor> toQColor(ColorValue value);

// The decimal text of a colour value, and back; text that is no number gives nothing.
QString colorText(ColorValue value);
std::optional<ColorValue> colorFromText(const QString& text);

}  // namespace lumi::display
