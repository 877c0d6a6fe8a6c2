// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "display/Geometry.h"
#include "display/LoadedPicture.h"
#include "display/PixelBuffer.h"
#include "platform/PictureSource.h"

namespace lumi::display {

// Decodes the first frame of the picture file at `path` (UTF-8) with the imaging codecs that
// the system has, as the display wants it: opaque 32-bit pixels, transparent parts over black,
// turned upright by the file's EXIF orientation, shrunk with `request.shrinkBound` to
// fittedSize() of its upright size, and with `request.photoDates` the day the photo was taken.
//
// What is no regular file (a folder, a device, a pipe) is refused without being opened for
// reading; a file larger than kMaxPictureFileBytes is refused by its size before it is
// opened, and a picture that declares more than kMaxPicturePixels before any pixel is
// decoded. Every failure gives a result without pixels and the reason in words; none may
// pass (`mayPass` is false), since the file is read directly and never waited on.
//
// Safe on any thread. A thread without COM gets it (multithreaded) for the length of the call;
// a thread that has COM already keeps its apartment, whichever it is. A thread that decodes
// many pictures should initialise COM itself for its whole life, so that the library is not
// loaded and unloaded for each picture.
LoadedPicture decodeWithWic(const std::string& path, const platform::PictureRequest& request);

// Pixels that their owner keeps in a vector: rows of `size.width` pixels without gaps.
struct OwnedPixels {
    std::vector<Rgb> pixels;
    Size size;
};

// The pixels of a picture stored as the EXIF orientation `orientation` (1 to 8) says, turned
// upright: 2 to 4 mirror or turn by half, 5 to 8 swap the sides. Any other value leaves them
// as they are.
OwnedPixels turnedUpright(OwnedPixels stored, int orientation);

}  // namespace lumi::display
