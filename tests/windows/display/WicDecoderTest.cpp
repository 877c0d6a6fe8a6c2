// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <array>

#include "TestPictures.h"
#include "windows/display/WicDecoder.h"

namespace lumi::display {
namespace {

using Microsoft::WRL::ComPtr;

// Writes `path` with `pixels` of `format`, encoded by the system's encoder for `container`.
std::string encoded(const std::string& path, REFGUID container, WICPixelFormatGUID format,
                    int width, int height, std::string pixels) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&factory))) &&
                SUCCEEDED(factory->CreateStream(&stream)) &&
                SUCCEEDED(stream->InitializeFromFilename(std::filesystem::u8path(path).c_str(),
                                                         GENERIC_WRITE)) &&
                SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
                SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
                SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
                SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
                SUCCEEDED(frame->SetPixelFormat(&format)) &&
                SUCCEEDED(frame->WritePixels(height, pixels.size() / height, pixels.size(),
                                             reinterpret_cast<BYTE*>(pixels.data()))) &&
                SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()));
    return path;
}

// A grey TIFF of 3 x 2 pixels, 0x10 to 0x60, whose tags say to turn it by 90 degrees
// clockwise and that it was taken on 17 May 2024.
std::string turnedTiff() {
    std::string bytes("II*\0\x08\0\0\0\x0b\0", 10);
    // Width, height, 8 bits, no compression, black is zero, the strip at 166, orientation 6,
    // one sample, two rows a strip of 6 bytes, and the date (in IFD 0, as TIFF/EP has it) at 146.
    // clang-format off
    for (const auto [tag, type, count, value] : {std::array{256, 3, 1, 3}, {257, 3, 1, 2},
             {258, 3, 1, 8}, {259, 3, 1, 1}, {262, 3, 1, 1}, {273, 4, 1, 166}, {274, 3, 1, 6},
             {277, 3, 1, 1}, {278, 3, 1, 2}, {279, 4, 1, 6}, {36867, 2, 20, 146}}) {
        // clang-format on
        put(bytes, tag, 2), put(bytes, type, 2), put(bytes, count, 4), put(bytes, value, 4);
    }
    put(bytes, 0, 4);
    return bytes + std::string("2024:05:17 09:30:00\0\x10\x20\x30\x40\x50\x60", 26);
}

TEST(WicDecoderTest, PicturesComeOpaqueUprightAndShrunkAndBadFilesGiveReasons) {
    const ScratchFolder folder;
    const std::string sparse = folder.file("sparse.bmp", "BM");
    std::filesystem::resize_file(std::filesystem::u8path(sparse), (1 << 30) + 1);  // sparse
    const struct {
        std::string path;
        platform::PictureRequest request;
        std::vector<Rgb> pixels;  // or the upright size alone, as {width, height}
        std::string error = {};   // a part of it
        std::optional<CalendarDate> taken = std::nullopt;
    } cases[] = {
        // clang-format off
        {folder.file("3x2.bmp", bmp(3, 2, {0x102030, 0x405060, 0x708090, 0xa0b0c0, 0xd0e0f0, 0})),
         {}, {0xff102030, 0xff405060, 0xff708090, 0xffa0b0c0, 0xffd0e0f0, 0xff000000}},
        {encoded(folder.file("alpha.png"), GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA,
                 2, 1, std::string("\x56\x34\x12\xff\xff\xff\xff\0", 8)),
         {}, {0xff123456, 0xff000000}},
        {folder.file("wide.bmp", bmp(40, 20, std::vector<std::uint32_t>(800))), {{30, 30}}, {30, 15}},
        {folder.file("turned.tif", turnedTiff()), {{}, true},
         {0xff404040, 0xff101010, 0xff505050, 0xff202020, 0xff606060, 0xff303030}, {},
         CalendarDate{2024, 5, 17}},
        {folder.file("turned.tif"), {{1, 3}}, {1, 2}},
        {folder.file("cut.bmp", bmp(3, 2, std::vector<std::uint32_t>(6)).substr(0, 30)), {}, {}, " ("},
        {folder.file("huge.bmp", bmp(20000, 20000, {})), {}, {},
         "it is 20000 x 20000 pixels (400 megapixels), more than 120 megapixels"},
        {folder.file(""), {}, {}, "it is a folder, not a regular file"},
        {"NUL", {}, {}, "it is a device, not a regular file"},
        {folder.file("missing.bmp"), {}, {}, "no such file"},
        {sparse, {}, {}, "the file is 1073741825 bytes, more than the 1073741824 bytes"},
        // clang-format on
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.path);
        const LoadedPicture picture = decodeWithWic(test.path, test.request);
        EXPECT_EQ(picture.ok(), test.error.empty());
        EXPECT_NE(picture.error.find(test.error), std::string::npos) << picture.error;
        if (test.pixels.size() == 2 && test.request.shrinkBound.width > 0) {
            EXPECT_EQ(Size(picture.pixels.width, picture.pixels.height),
                      Size(test.pixels[0], test.pixels[1]));
        } else if (picture.ok()) {
            const Rgb* bits = picture.pixels.bits;  // rows without gaps
            EXPECT_EQ(std::vector(bits, bits + picture.pixels.width * picture.pixels.height),
                      test.pixels);
        }
        EXPECT_EQ(picture.taken, test.taken);
    }
}

TEST(WicDecoderTest, EachOrientationTurnsThePixelsUpright) {
    const std::vector<std::vector<Rgb>> upright = {
        {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}, {6, 5, 4, 3, 2, 1},
        {4, 5, 6, 1, 2, 3}, {1, 4, 2, 5, 3, 6}, {4, 1, 5, 2, 6, 3}, {6, 3, 5, 2, 4, 1},
        {3, 6, 2, 5, 1, 4}, {1, 2, 3, 4, 5, 6}};
    for (int orientation = 0; orientation <= 9; ++orientation) {
        SCOPED_TRACE(orientation);
        const OwnedPixels turned = turnedUpright({{1, 2, 3, 4, 5, 6}, {3, 2}}, orientation);
        EXPECT_EQ(turned.pixels, upright[orientation]);
        const bool swapped = orientation >= 5 && orientation <= 8;
        EXPECT_EQ(turned.size, swapped ? Size(2, 3) : Size(3, 2));
    }
}

}  // namespace
}  // namespace lumi::display
