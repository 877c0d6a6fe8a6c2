// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "display/CalendarDate.h"
#include "display/PixelBuffer.h"

namespace lumi::display {

// A picture file as an edition's decoder hands it to the display: opaque 32-bit pixels
// (0xffRRGGBB), upright, with transparent parts over black, or the reason why the file gave
// none. The pixels belong to `keeper`, which the picture shares, so that a copy of it never
// copies pixels; they stay unchanged for as long as any copy lives.
struct LoadedPicture {
    std::string path;  // the bytes of the file's name, as the list holds it
    ConstPixelBuffer pixels;
    std::shared_ptr<const void> keeper;
    std::string error;  // why no picture came, in words; empty when one did
    // The day the photo was taken (its EXIF DateTimeOriginal); empty when the file carries
    // none or the display did not ask for it.
    std::optional<CalendarDate> taken = std::nullopt;
    // True when the file may give its picture later as it stands (it did not answer in
    // time). Every other failure lasts until the file changes.
    bool mayPass = false;

    bool ok() const { return !pixels.isNull(); }
};

}  // namespace lumi::display
