// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/KeyAscii.h"

#include <QKeyEvent>

namespace lumi::display {

namespace {

constexpr char16_t kDeleteCharacter = 0x7F;

}  // namespace

std::optional<int> keyAscii(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty() || event.key() == Qt::Key_Delete || text.at(0) == kDeleteCharacter) {
        return std::nullopt;
    }
    return text.at(0).unicode();
}

std::optional<ArrowStep> arrowStep(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Left:
            return ArrowStep::Previous;
        case Qt::Key_Right:
            return ArrowStep::Next;
        default:
            return std::nullopt;
    }
}

}  // namespace lumi::display
