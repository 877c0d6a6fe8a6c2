// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/PictureFileBound.h"

namespace lumi::display {

bool pictureFileSizeReadable(std::uintmax_t bytes) {
    return bytes <= kMaxPictureFileBytes;
}

}  // namespace lumi::display
