// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/FitToScreen.h"

#include <algorithm>

namespace lumi::display {

QSize fittedSize(QSize picture, QSize bound) {
    if (bound.isEmpty() || picture.isEmpty()) {
        return picture;
    }
    if (picture.width() <= bound.width() && picture.height() <= bound.height()) {
        return picture;
    }
    const qint64 width = picture.width();
    const qint64 height = picture.height();
    // The side whose ratio to the bound is larger meets the bound; the other is scaled by
    // the same factor, in integers so that no rounding of a factor can push it over.
    if (width * bound.height() >= height * bound.width()) {
        const qint64 scaled = (height * bound.width() + width / 2) / width;
        return {bound.width(), static_cast<int>(std::clamp<qint64>(scaled, 1, bound.height()))};
    }
    const qint64 scaled = (width * bound.height() + height / 2) / height;
    return {static_cast<int>(std::clamp<qint64>(scaled, 1, bound.width())), bound.height()};
}

}  // namespace lumi::display
