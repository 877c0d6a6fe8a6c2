// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumi::display {

// The most pixels that a picture may have. Photos of the largest cameras (100 megapixels)
// show; a file that declares more, however small the file, is refused before its decode, so
// that no picture costs more than this many 32-bit pixels.
inline constexpr std::int64_t kMaxPicturePixels = 120'000'000;

// The largest file that may hold a picture of at most kMaxPicturePixels in a format that the
// display reads. A larger file is skipped by its size alone, before it is opened, so that a
// video or a disk image under a picture's name costs neither the time nor the memory of
// reading it.
//
// The format that stores the most bytes for a picture is an uncompressed one at 16 bits for
// each of red, green, blue and alpha: 8 bytes a pixel, as a TIFF or a PNG whose deflate blocks
// are stored (a BMP takes at most 4; JPEG, WebP, GIF and HEIF compress). A picture of
// 120 million pixels thus holds at most 960,000,000 bytes of pixels, 915.5 MiB; the container
// adds little (a PNG's filter byte a row and 5 bytes a stored block of 64 KiB, a TIFF's strip
// tables), and the rest of 1 GiB, about 108 MiB, is room for large metadata: EXIF blocks with
// their thumbnails, ICC profiles, XMP. A picture of 32-bit floating-point channels, 16 bytes a
// pixel, is no photo; such a file above 1 GiB (67 megapixels) is skipped too, and its decode
// would take more than the kMaxPicturePixels 32-bit pixels that any decode may hold anyway.
inline constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{1} << 30;

static_assert(kMaxPictureFileBytes >=
                  std::uintmax_t{kMaxPicturePixels} * 8 + (std::uintmax_t{64} << 20),
              "the file bound leaves at least 64 MiB beside the largest pixels");

// True when a file of `bytes` may hold a picture that the display shows, that is, when it is
// no larger than kMaxPictureFileBytes. The readers of picture files call it with the size that
// the file's status gives, before they open the file, and again as the bytes arrive, for a
// file that grows while it is read.
bool pictureFileSizeReadable(std::uintmax_t bytes);

}  // namespace lumi::display
