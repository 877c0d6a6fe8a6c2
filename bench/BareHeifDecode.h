// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <libheif/heif.h>

namespace lumi::bench {

// The floor of a HEIC decode: what any program that shows the file with libheif does at least,
// its primary picture decoded to interleaved RGBA. True when the decode succeeded.
inline bool bareHeifDecode(const char* file) {
    heif_context* context = heif_context_alloc();
    bool ok = heif_context_read_from_file(context, file, nullptr).code == heif_error_Ok;
    heif_image_handle* handle = nullptr;
    ok = ok && heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok;
    heif_image* image = nullptr;
    ok = ok && heif_decode_image(handle, &image, heif_colorspace_RGB,
                                 heif_chroma_interleaved_RGBA, nullptr)
                       .code == heif_error_Ok;
    if (image) {
        heif_image_release(image);
    }
    if (handle) {
        heif_image_handle_release(handle);
    }
    heif_context_free(context);
    return ok;
}

}  // namespace lumi::bench
