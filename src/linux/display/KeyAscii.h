// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "display/ArrowStep.h"

class QKeyEvent;

namespace lumi::display {

// The character code that a key press hands the display's key handler (frmMain's
// Pic2_KeyPress), or nothing for a key that the display ignores. Every window of the display
// that takes keys (the canvas and the cover windows of the other monitors) asks this one
// function, so that a key means the same on each of them.
//
// Enter, Escape, Backspace, Tab and Ctrl with a letter give their control characters. Keys
// that produce no character (arrow, function and modifier keys) give nothing, and so does
// Delete, although X11 gives it the character U+007F.
std::optional<int> keyAscii(const QKeyEvent& event);

// The step of a Left or Right arrow key (also on the keypad, with any modifier), or nothing
// for any other key. These keys give no character, so keyAscii() ignores them.
std::optional<ArrowStep> arrowStep(const QKeyEvent& event);

}  // namespace lumi::display
