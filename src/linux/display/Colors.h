// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>


#include <optional>

#include "display/Colors.h"

namespace lumi::display {

// The colour that `value` stands for; nothing for -1 or an unknown system colour. The
// system colour 15 is the platform's button-face colour.
std::optional<QColor> toQColor(ColorValue value);

}  // namespace lumi::display
