// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/WicDecoder.h"

#include <propidl.h>
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>

#include "display/CalendarDate.h"
#include "display/FitToScreen.h"
#include "display/PictureFileBound.h"
#include "windows/display/FileStatus.h"
#include "windows/platform/Utf16.h"

namespace lumi::display {
namespace {

using Microsoft::WRL::ComPtr;

// COM for the calling thread while this lives, when the thread had none; a thread that has
// COM already, in any apartment, keeps it untouched.
class ComForThread {
public:
    ComForThread() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComForThread() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComForThread(const ComForThread&) = delete;
    ComForThread& operator=(const ComForThread&) = delete;

    // False only when COM cannot be had at all on this thread.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// A PROPVARIANT that clears whatever it holds.
struct Property {
    PROPVARIANT value;
    Property() { PropVariantInit(&value); }
    ~Property() { PropVariantClear(&value); }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
};

std::string hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// The reason for a failed call, in words, with its code.
std::string describe(HRESULT result) {
    switch (result) {
        case WINCODEC_ERR_COMPONENTNOTFOUND:
        case WINCODEC_ERR_UNKNOWNIMAGEFORMAT:
            return "no decoder on this system reads its format (" + hex(result) + ")";
        case WINCODEC_ERR_BADHEADER:
        case WINCODEC_ERR_BADIMAGE:
        case WINCODEC_ERR_BADSTREAMDATA:
        case WINCODEC_ERR_STREAMREAD:
        case WINCODEC_ERR_STREAMNOTAVAILABLE:
        case WINCODEC_ERR_FRAMEMISSING:
        case HRESULT_FROM_WIN32(ERROR_HANDLE_EOF):
            return "it is damaged or no picture (" + hex(result) + ")";
        case E_OUTOFMEMORY:
            return "there is not enough memory to decode it (" + hex(result) + ")";
        default:
            break;
    }
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length == 0 || message == nullptr) {
        return "the decoder failed (" + hex(result) + ")";
    }
    std::wstring text(message, length);
    LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' ||
                             text.back() == L' ')) {
        text.pop_back();
    }
    return platform::toUtf8(text) + " (" + hex(result) + ")";
}

std::string tooLargeError(Size size) {
    // Megapixels rounded up to a tenth, so that the figure is always above the limit.
    const double megapixels =
        std::ceil(static_cast<double>(size.width) * size.height / 100'000.0) / 10.0;
    char text[160];
    std::snprintf(text, sizeof text,
                  "it is %d x %d pixels (%g megapixels), more than %lld megapixels", size.width,
                  size.height, megapixels, static_cast<long long>(kMaxPicturePixels / 1'000'000));
    return text;
}

std::string fileTooLargeError(std::uintmax_t bytes) {
    return "the file is " + std::to_string(bytes) + " bytes, more than the " +
           std::to_string(kMaxPictureFileBytes) + " bytes that a picture of " +
           std::to_string(kMaxPicturePixels / 1'000'000) + " megapixels can take; it is not read";
}

// Why `path` cannot be read as a picture file, or nothing when it is a regular file within the
// size bound. Nothing here reads the file.
std::optional<std::string> refusal(const std::string& path) {
    const FileStatus status = fileStatus(path);
    switch (status.kind) {
        case FileStatus::Kind::Regular:
            break;
        case FileStatus::Kind::Missing:
            return "no such file";
        case FileStatus::Kind::Folder:
            return "it is a folder, not a regular file";
        case FileStatus::Kind::Device:
            return "it is a device, not a regular file";
        case FileStatus::Kind::Pipe:
            return "it is a named pipe, not a regular file";
        case FileStatus::Kind::Other:
            return "it is not a file, not a regular file";
        case FileStatus::Kind::Unknown:
            return describe(HRESULT_FROM_WIN32(status.error));
    }
    if (!pictureFileSizeReadable(status.size)) {
        return fileTooLargeError(status.size);
    }
    return std::nullopt;
}

// The metadata value at the first of `queries` that the frame holds.
bool readMetadata(IWICMetadataQueryReader* reader, std::initializer_list<const wchar_t*> queries,
                  Property& property) {
    if (reader == nullptr) {
        return false;
    }
    for (const wchar_t* query : queries) {
        PropVariantClear(&property.value);
        if (SUCCEEDED(reader->GetMetadataByName(query, &property.value))) {
            return true;
        }
    }
    return false;
}

// The EXIF orientation of the frame, 1 (upright) when it has none. The query paths are the
// full ones: some implementations refuse the short policy names.
int orientationOf(IWICMetadataQueryReader* reader) {
    Property orientation;
    if (!readMetadata(reader, {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}, orientation)) {
        return 1;
    }
    switch (orientation.value.vt) {
        case VT_UI2:
            return orientation.value.uiVal;
        case VT_UI4:
            return static_cast<int>(orientation.value.ulVal);
        default:
            return 1;
    }
}

// The day of the frame's EXIF DateTimeOriginal. TIFF/EP files, raw photos among them, keep the
// tag in IFD 0 rather than in the EXIF IFD.
std::optional<CalendarDate> takenOn(IWICMetadataQueryReader* reader) {
    Property date;
    if (!readMetadata(
            reader,
            {L"/app1/ifd/exif/{ushort=36867}", L"/ifd/exif/{ushort=36867}", L"/ifd/{ushort=36867}"},
            date)) {
        return std::nullopt;
    }
    if (date.value.vt == VT_LPSTR && date.value.pszVal != nullptr) {
        return parseExifDate(date.value.pszVal);
    }
    if (date.value.vt == VT_LPWSTR && date.value.pwszVal != nullptr) {
        return parseExifDate(platform::toUtf8(date.value.pwszVal));
    }
    return std::nullopt;
}

bool swapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

LoadedPicture failure(const std::string& path, std::string error) {
    LoadedPicture result;
    result.path = path;
    result.error = std::move(error);
    return result;
}

}  // namespace

OwnedPixels turnedUpright(OwnedPixels stored, int orientation) {
    if (orientation < 2 || orientation > 8) {
        return stored;
    }
    // For each orientation: whether the sides swap, and whether the stored column and row
    // that a pixel of the upright picture comes from count from the far edge.
    struct Turn {
        bool swap;
        bool mirrorX;
        bool mirrorY;
    };
    static constexpr Turn kTurns[9] = {{},
                                       {false, false, false},
                                       {false, true, false},
                                       {false, true, true},
                                       {false, false, true},
                                       {true, false, false},
                                       {true, false, true},
                                       {true, true, true},
                                       {true, true, false}};
    const Turn turn = kTurns[orientation];
    const int width = stored.size.width;
    const int height = stored.size.height;
    OwnedPixels upright;
    upright.size = turn.swap ? Size{height, width} : stored.size;
    upright.pixels.resize(stored.pixels.size());
    Rgb* target = upright.pixels.data();
    for (int y = 0; y < upright.size.height; ++y) {
        for (int x = 0; x < upright.size.width; ++x) {
            const int u = turn.swap ? y : x;
            const int v = turn.swap ? x : y;
            const int sourceX = turn.mirrorX ? width - 1 - u : u;
            const int sourceY = turn.mirrorY ? height - 1 - v : v;
            *target++ = stored.pixels[static_cast<std::size_t>(sourceY) * width + sourceX];
        }
    }
    return upright;
}

LoadedPicture decodeWithWic(const std::string& path, const platform::PictureRequest& request) {
    if (const auto refused = refusal(path)) {
        return failure(path, *refused);
    }
    const ComForThread com;
    if (!com.usable()) {
        return failure(path, "the imaging library cannot start: " + describe(com.result()));
    }
    ComPtr<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory));
    if (FAILED(result)) {
        return failure(path, "the imaging library cannot start: " + describe(result));
    }
    ComPtr<IWICBitmapDecoder> decoder;
    result =
        factory->CreateDecoderFromFilename(platform::toUtf16(path).c_str(), nullptr, GENERIC_READ,
                                           WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(result)) {
        return failure(path, describe(result));
    }
    ComPtr<IWICBitmapFrameDecode> frame;
    result = decoder->GetFrame(0, &frame);
    if (FAILED(result)) {
        return failure(path, describe(result));
    }
    UINT storedWidth = 0;
    UINT storedHeight = 0;
    result = frame->GetSize(&storedWidth, &storedHeight);
    if (FAILED(result)) {
        return failure(path, describe(result));
    }
    if (storedWidth == 0 || storedHeight == 0) {
        return failure(path, "it declares no pixels");
    }
    if (std::uint64_t{storedWidth} * storedHeight > std::uint64_t{kMaxPicturePixels}) {
        return failure(
            path, tooLargeError({static_cast<int>(storedWidth), static_cast<int>(storedHeight)}));
    }
    // Formats without metadata (BMP, for one) have no reader; they are upright and undated.
    ComPtr<IWICMetadataQueryReader> metadata;
    if (FAILED(frame->GetMetadataQueryReader(&metadata))) {
        metadata.Reset();
    }
    const int orientation = orientationOf(metadata.Get());
    const bool swap = swapsSides(orientation);

    // Premultiplied pixels are their colours over black; only the alpha is left to set.
    ComPtr<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result)) {
        result = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    }
    if (FAILED(result)) {
        return failure(path, "its pixels cannot be converted: " + describe(result));
    }
    ComPtr<IWICBitmapSource> source = converter;

    // The bound applies to the upright picture; the shrink comes before the turn.
    const Size stored{static_cast<int>(storedWidth), static_cast<int>(storedHeight)};
    const Size upright = swap ? Size{stored.height, stored.width} : stored;
    const Size fitted = fittedSize(upright, request.shrinkBound);
    const Size target = swap ? Size{fitted.height, fitted.width} : fitted;
    if (target != stored) {
        ComPtr<IWICBitmapScaler> scaler;
        result = factory->CreateBitmapScaler(&scaler);
        if (SUCCEEDED(result)) {
            result = scaler->Initialize(source.Get(), static_cast<UINT>(target.width),
                                        static_cast<UINT>(target.height),
                                        WICBitmapInterpolationModeFant);
        }
        if (FAILED(result)) {
            return failure(path, "it cannot be shrunk: " + describe(result));
        }
        source = scaler;
    }

    auto pixels = std::make_shared<OwnedPixels>();
    pixels->size = target;
    const std::size_t count = static_cast<std::size_t>(target.width) * target.height;
    try {
        pixels->pixels.resize(count);
    } catch (const std::bad_alloc&) {
        return failure(path, describe(E_OUTOFMEMORY));
    }
    const UINT stride = static_cast<UINT>(target.width) * sizeof(Rgb);
    result = source->CopyPixels(nullptr, stride, static_cast<UINT>(count * sizeof(Rgb)),
                                reinterpret_cast<BYTE*>(pixels->pixels.data()));
    if (FAILED(result)) {
        return failure(path, describe(result));
    }
    // Little-endian BGRA bytes are the core's 0xAARRGGBB pixels.
    for (Rgb& pixel : pixels->pixels) {
        pixel |= 0xff000000u;
    }
    if (orientation != 1) {
        try {
            *pixels = turnedUpright(std::move(*pixels), orientation);
        } catch (const std::bad_alloc&) {
            return failure(path, describe(E_OUTOFMEMORY));
        }
    }

    LoadedPicture picture;
    picture.path = path;
    picture.pixels = ConstPixelBuffer(pixels->pixels.data(), pixels->size.width,
                                      pixels->size.height, pixels->size.width);
    picture.keeper = std::move(pixels);
    if (request.photoDates) {
        picture.taken = takenOn(metadata.Get());
    }
    return picture;
}

}  // namespace lumi::display
