// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumi::display {

// The two arrow keys that move through the pictures.
enum class ArrowStep {
    Previous,  // Left
    Next,      // Right
};

}  // namespace lumi::display
