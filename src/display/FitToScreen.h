// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/Geometry.h"

namespace lumi::display {

// How the display treats a picture larger than its screen.
enum class LargePictures {
    Crop,    // shown at its own size, centred, so that only its middle shows
    Shrink,  // shrunk, keeping its proportions, to fit the screen
};

// The size at which a picture of `picture` pixels is shown within `bound` when large pictures
// shrink: `picture` itself when it fits (a picture never grows), otherwise the largest size
// with the picture's proportions that fits, each side rounded to the nearest pixel and at
// least 1. An empty `bound` leaves every picture at its own size.
Size fittedSize(Size picture, Size bound);

}  // namespace lumi::display
