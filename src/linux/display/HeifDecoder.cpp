// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/HeifDecoder.h"

#include <QImage>

#include <libheif/heif.h>

#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "linux/display/CorePixels.h"
#include "linux/display/PhotoDate.h"

namespace lumi::display {
namespace {

// The longest side of a HEIF picture that is decoded at all.
constexpr int kMaxHeifSide = 16384;

// The largest EXIF block that is read for the date.
constexpr size_t kLargestExifBlock = 4 << 20;

struct ContextRelease {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct OptionsRelease {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
struct ImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};

// libheif loads its decoder plugins (where the release has them) in heif_init(); it is
// called once for the whole process and never undone, since decodes may run on any thread
// until the process ends.
void initialiseLibheif() {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

QString errorText(const heif_error& error) {
    return QStringLiteral("it is no readable HEIF picture (%1)")
        .arg(QString::fromUtf8(error.message ? error.message : "unknown error"));
}

std::optional<QDate> exifDate(heif_image_handle* handle) {
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1) {
        return std::nullopt;
    }
    const size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size < 4 || size > kLargestExifBlock) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) {
        return std::nullopt;
    }
    // The block opens with the offset of the TIFF header from the end of those four bytes.
    const quint32 offset = (quint32{block[0]} << 24) | (quint32{block[1]} << 16) |
                           (quint32{block[2]} << 8) | block[3];
    if (offset > size - 4) {
        return std::nullopt;
    }
    const auto* tiff = reinterpret_cast<const char*>(block.data()) + 4 + offset;
    return photoDateOfExif(QByteArrayView(tiff, static_cast<qsizetype>(size - 4 - offset)));
}

void releaseImage(void* image) {
    heif_image_release(static_cast<heif_image*>(image));
}

// Turns the interleaved RGBA pixels of `image` into opaque 32-bit pixels in place, colour
// over black, and hands them to a QImage that releases `image` with its last copy.
QImage toOpaqueImage(std::unique_ptr<heif_image, ImageRelease> image, QSize size) {
    int stride = 0;
    uint8_t* pixels = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    if (!pixels || stride < size.width() * 4) {
        return {};
    }
    for (int y = 0; y < size.height(); ++y) {
        uint8_t* line = pixels + static_cast<qsizetype>(y) * stride;
        for (int x = 0; x < size.width(); ++x) {
            uint8_t* p = line + x * 4;
            const unsigned alpha = p[3];
            const auto over = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
            const QRgb rgb = qRgb(over(p[0]), over(p[1]), over(p[2]));
            std::memcpy(p, &rgb, sizeof rgb);
        }
    }
    heif_image* raw = image.release();
    return QImage(pixels, size.width(), size.height(), stride, QImage::Format_RGB32,
                  releaseImage, raw);
}

}  // namespace

const QStringList& heifExtensions() {
    // The decoders that libheif has do not change while the process runs.
    static const QStringList extensions = [] {
        initialiseLibheif();
        QStringList list;
        if (heif_have_decoder_for_format(heif_compression_HEVC)) {
            list << QStringLiteral("heic") << QStringLiteral("heif");
        }
        if (heif_have_decoder_for_format(heif_compression_AV1)) {
            list << QStringLiteral("avif");
        }
        return list;
    }();
    return extensions;
}

bool looksLikeHeif(QByteArrayView start) {
    if (start.size() < 12 || start.sliced(4, 4) != "ftyp") {
        return false;
    }
    static constexpr std::array<const char*, 10> kBrands{
        "heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis"};
    const QByteArrayView brand = start.sliced(8, 4);
    for (const char* known : kBrands) {
        if (brand == known) {
            return true;
        }
    }
    return false;
}

DecodedPicture decodeHeif(const QString& path, const QByteArray& bytes, QSize bound,
                          PhotoDates dates) {
    initialiseLibheif();
    const std::unique_ptr<heif_context, ContextRelease> context(heif_context_alloc());
    if (!context) {
        return {path, {}, QStringLiteral("there is no memory to read it")};
    }
    // The bytes outlive the context, so that libheif need not copy them.
    heif_error error = heif_context_read_from_memory_without_copy(
        context.get(), bytes.constData(), static_cast<size_t>(bytes.size()), nullptr);
    if (error.code != heif_error_Ok) {
        return {path, {}, errorText(error)};
    }
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    if (error.code != heif_error_Ok) {
        return {path, {}, errorText(error)};
    }
    const std::unique_ptr<heif_image_handle, HandleRelease> handle(rawHandle);
    // The shown size is after the stored rotation and crop; the decode works on the stored
    // size, which a crop can make far larger, so both are held to the limit.
    const QSize shown(heif_image_handle_get_width(handle.get()),
                      heif_image_handle_get_height(handle.get()));
    const QSize stored(heif_image_handle_get_ispe_width(handle.get()),
                       heif_image_handle_get_ispe_height(handle.get()));
    for (const QSize size : {stored, shown}) {
        if (exceedsPixelLimit(size)) {
            return {path, {}, tooLargeError(size)};
        }
    }
    if (shown.isEmpty()) {
        return {path, {}, QStringLiteral("it declares no picture size")};
    }
    const std::unique_ptr<heif_decoding_options, OptionsRelease> options(
        heif_decoding_options_alloc());
    if (!options) {
        return {path, {}, QStringLiteral("there is no memory to decode it")};
    }
    // The stored rotation, mirroring and crop, applied by libheif.
    options->ignore_transformations = 0;
    // The coded picture may be far larger than the size that the file declares, which is all
    // that the pixel limit above can see: libheif refuses, before it takes any memory for it,
    // a decoded side longer than this (the widest panoramas that phones store as HEIF), so
    // that a damaged file of a few hundred bytes cannot take gigabytes.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxHeifSide);
    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              heif_chroma_interleaved_RGBA, options.get());
    if (error.code != heif_error_Ok) {
        return {path, {}, errorText(error)};
    }
    std::unique_ptr<heif_image, ImageRelease> image(rawImage);
    const QSize decoded(heif_image_get_width(image.get(), heif_channel_interleaved),
                        heif_image_get_height(image.get(), heif_channel_interleaved));
    if (decoded.isEmpty() || exceedsPixelLimit(decoded)) {
        return {path, {}, QStringLiteral("its decoded picture has no usable size")};
    }
    QImage picture = toOpaqueImage(std::move(image), decoded);
    if (picture.isNull()) {
        return {path, {}, QStringLiteral("its decoded picture has no pixels")};
    }
    // libheif decodes at full size only; a large picture is shrunk afterwards.
    const QSize fitted = fittedSize(picture.size(), bound);
    if (fitted != picture.size()) {
        picture = picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
    }
    DecodedPicture result{path, std::move(picture), {}, std::nullopt};
    if (dates == PhotoDates::Read) {
        result.taken = exifDate(handle.get());
    }
    return result;
}

}  // namespace lumi::display
