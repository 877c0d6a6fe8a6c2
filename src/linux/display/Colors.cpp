// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/Colors.h"

#include <QApplication>
#include <QPalette>

namespace lumi::display {

std::optional<QColor> toQColor(ColorValue value) {
    if (value == kNoColor) {
        return std::nullopt;
    }
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u) {
        if ((bits & 0xFFu) != 15u) {
            return std::nullopt;
        }
        return QApplication::palette().color(QPalette::Active, QPalette::Button);
    }
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

}  // namespace lumi::display
