// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FitToScreen.h"

#include <algorithm>
#include <cstdint>

namespace lumi::display {

Size fittedSize(Size picture, Size bound) {
    if (bound.isEmpty() || picture.isEmpty()) {
        return picture;
    }
    if (picture.width <= bound.width && picture.height <= bound.height) {
        return picture;
    }
    const std::int64_t width = picture.width;
    const std::int64_t height = picture.height;
    // The side whose ratio to the bound is larger meets the bound; the other is scaled by
    // the same factor, in integers so that no rounding of a factor can push it over.
    if (width * bound.height >= height * bound.width) {
        const std::int64_t scaled = (height * bound.width + width / 2) / width;
        return {bound.width, static_cast<int>(std::clamp<std::int64_t>(scaled, 1, bound.height))};
    }
    const std::int64_t scaled = (width * bound.height + height / 2) / height;
    return {static_cast<int>(std::clamp<std::int64_t>(scaled, 1, bound.width)), bound.height};
}

}  // namespace lumi::display
