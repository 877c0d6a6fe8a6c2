// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the HEIF decoding path of the picture loader with each input as a file's bytes:
//   - any bytes give either an opaque 32-bit picture no larger than the pixel limit, or no
//     picture and a reason, and a date read beside it is a real day;
//   - the same bytes decoded within a small bound give a picture exactly when the whole
//     decode does, of fittedSize() of its size;
//   - the bytes as an EXIF block read the same date with and without the "Exif" header.
// A file that declares a picture larger than kFuzzedPixels but within the pixel limit is
// passed over: the decoder decodes it whole, which for the largest it accepts (120
// megapixels) takes gigabytes and most of a minute under the sanitizers. That is the cost the
// limit allows, and nothing to learn from 30 s of fuzzing; a file over the limit still goes to
// the decoder, which refuses it from its header.
#include <libheif/heif.h>

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzCheck.h"
#include "linux/display/CorePixels.h"
#include "linux/display/HeifDecoder.h"
#include "linux/display/PhotoDate.h"

namespace {

using lumi::fuzz::check;
using namespace lumi::display;

constexpr QSize kBound{16, 12};
constexpr std::int64_t kFuzzedPixels = 4'000'000;

// The largest number of pixels that `bytes` declare for their primary picture, shown or
// stored; 0 when libheif reads no picture from them.
std::int64_t declaredPixels(const QByteArray& bytes) {
    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                         heif_context_free);
    if (!context || heif_context_read_from_memory_without_copy(
                        context.get(), bytes.constData(), static_cast<size_t>(bytes.size()),
                        nullptr)
                            .code != heif_error_Ok) {
        return 0;
    }
    heif_image_handle* raw = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &raw).code != heif_error_Ok) {
        return 0;
    }
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> handle(
        raw, heif_image_handle_release);
    const auto pixels = [](int width, int height) {
        return std::int64_t{std::max(width, 0)} * std::max(height, 0);
    };
    return std::max(pixels(heif_image_handle_get_width(handle.get()),
                           heif_image_handle_get_height(handle.get())),
                    pixels(heif_image_handle_get_ispe_width(handle.get()),
                           heif_image_handle_get_ispe_height(handle.get())));
}

void checkPicture(const DecodedPicture& picture) {
    if (!picture.ok()) {
        check(!picture.error.isEmpty(), "a file that gives no picture says why");
        return;
    }
    const QImage& image = picture.image;
    check(image.format() == QImage::Format_RGB32, "a picture is 32-bit RGB");
    check(!image.size().isEmpty() && !exceedsPixelLimit(image.size()),
          "a picture has pixels and no more than the limit");
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            check(qAlpha(line[x]) == 255, "every pixel is opaque");
        }
    }
    check(!picture.taken || picture.taken->isValid(), "a photo date is a real day");
}

}  // namespace

// libheif 1.15 leaves a few bytes of the AV1 decoder's state behind when a damaged AVIF stops
// a decode; the leak is in the system's libraries, not in this program, and is left to them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdav1d.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::int64_t pixels = declaredPixels(bytes);
    if (pixels > kFuzzedPixels && pixels <= kMaxPicturePixels) {
        return 0;
    }
    const DecodedPicture whole = decodeHeif("fuzz.heic", bytes, {}, PhotoDates::Read);
    checkPicture(whole);
    const DecodedPicture bounded = decodeHeif("fuzz.heic", bytes, kBound, PhotoDates::Skip);
    checkPicture(bounded);
    check(bounded.ok() == whole.ok(), "a bound does not change whether a file decodes");
    if (whole.ok()) {
        check(bounded.image.size() == fittedSize(whole.image.size(), kBound),
              "a bounded decode has the fitted size of the whole one");
    }
    check(!bounded.taken, "no date is read unless asked for");

    const std::optional<QDate> date = photoDateOfExif(bytes);
    check(!date || date->isValid(), "an EXIF date is a real day");
    if (bytes.startsWith("II") || bytes.startsWith("MM")) {
        check(photoDateOfExif(QByteArray("Exif\0\0", 6) + bytes) == date,
              "the Exif header does not change the date");
    }
    return 0;
}
