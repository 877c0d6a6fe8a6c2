// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include "linux/display/HeifDecoder.h"
#include "linux/display/PictureLoader.h"
#include "linux/settings/PictureFolders.h"
#include "support/Files.h"

namespace lumi::display {
namespace {

// The pictures of tests/data/heif (made by its make.sh): 64 x 48 in four quadrants.
QString heifData(const char* name) {
    return QStringLiteral(LUMI_TEST_DATA_DIR "/heif/") + name;
}

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

// How far a channel may stray from the colour encoded: the codecs' loss at their settings.
constexpr int kCodecLoss = 24;

bool near(QRgb actual, QRgb expected) {
    return std::abs(qRed(actual) - qRed(expected)) <= kCodecLoss &&
           std::abs(qGreen(actual) - qGreen(expected)) <= kCodecLoss &&
           std::abs(qBlue(actual) - qBlue(expected)) <= kCodecLoss && qAlpha(actual) == 255;
}

// The colours at the middle of the top-left, top-right, bottom-left, bottom-right quadrants.
void expectQuadrants(const QImage& image, std::array<QRgb, 4> expected, const char* name) {
    const int w = image.width();
    const int h = image.height();
    const QPoint middles[] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4},
                              {3 * w / 4, 3 * h / 4}};
    for (int i = 0; i < 4; ++i) {
        const QRgb pixel = image.pixel(middles[i]);
        EXPECT_TRUE(near(pixel, expected[i]))
            << name << " quadrant " << i << ": " << std::hex << pixel << " for " << expected[i];
    }
}

bool haveHevc() { return heifExtensions().contains("heic"); }
bool haveAv1() { return heifExtensions().contains("avif"); }

// The stored rotation (turned.avif: 90 degrees anticlockwise) is applied once; the EXIF
// orientation beside it, which says the same to readers that know no HEIF, is not applied on
// top, or the picture would come out 64 x 48 again.
TEST(HeifDecoderTest, PicturesShowTheirColoursTurnedByTheStoredRotationOnce) {
    const struct {
        const char* name;
        bool decodable;
        QSize size;
        std::array<QRgb, 4> quadrants;
    } cases[] = {
        {"quadrants.heic", haveHevc(), {64, 48}, {kRed, kGreen, kBlue, kWhite}},
        {"quadrants.avif", haveAv1(), {64, 48}, {kRed, kGreen, kBlue, kWhite}},
        {"turned.avif", haveAv1(), {48, 64}, {kGreen, kWhite, kRed, kBlue}},
    };
    for (const auto& c : cases) {
        if (!c.decodable) {
            ADD_FAILURE() << "libheif has no decoder for " << c.name;
            continue;
        }
        const DecodedPicture picture = decodePicture(heifData(c.name));
        ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.error.toStdString();
        EXPECT_EQ(picture.image.format(), QImage::Format_RGB32) << c.name;
        EXPECT_EQ(picture.image.size(), c.size) << c.name;
        expectQuadrants(picture.image, c.quadrants, c.name);
    }
}

// Transparent parts over black, as for every picture; ten bits a channel come out as eight.
TEST(HeifDecoderTest, TransparentPicturesShowOverBlack) {
    for (const char* name : {"alpha.avif", "ten_bit.avif"}) {
        const DecodedPicture picture = decodePicture(heifData(name));
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.error.toStdString();
        ASSERT_EQ(picture.image.size(), QSize(16, 12)) << name;
        EXPECT_TRUE(near(picture.image.pixel(8, 0), qRgb(128, 0, 0)))
            << name << std::hex << " " << picture.image.pixel(8, 0);
        EXPECT_TRUE(near(picture.image.pixel(8, 11), kBlue))
            << name << std::hex << " " << picture.image.pixel(8, 11);
    }
}

// Told by content: any case of extension, and a HEIC photo renamed to ".jpg".
TEST(HeifDecoderTest, HeifFilesDecodeWhateverTheirNames) {
    QTemporaryDir dir;
    const QByteArray heic = testing::fileBytes(heifData("quadrants.heic"));
    for (const char* name : {"IMG_0001.heic", "IMG_0002.HEIC", "photo.HeIf", "renamed.jpg"}) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(testing::writeFileBytes(path, heic));
        const DecodedPicture picture = decodePicture(path);
        EXPECT_TRUE(picture.ok()) << name << ": " << picture.error.toStdString();
    }
}

TEST(HeifDecoderTest, FolderEntriesAndDialogsTakeHeifPicturesInAnyCase) {
    for (const char* name : {"a.heic", "IMG_0002.HEIC", "b.heif", "photo.avif", "C.AVIF"}) {
        EXPECT_TRUE(settings::hasPictureExtension(name)) << name;
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("Phone");
    ASSERT_TRUE(testing::writeFileBytes(folder + "/IMG_0002.HEIC",
                                        testing::fileBytes(heifData("quadrants.heic"))));
    ASSERT_TRUE(testing::writeFileBytes(folder + "/photo.avif",
                                        testing::fileBytes(heifData("quadrants.avif"))));
    ASSERT_EQ(settings::expandFolder(folder),
              QStringList({folder + "/IMG_0002.HEIC", folder + "/photo.avif"}));
    for (const QString& path : settings::expandFolder(folder)) {
        EXPECT_TRUE(decodePicture(path).ok()) << path.toStdString();
    }
}

TEST(HeifDecoderTest, LargePicturesShrinkToTheBound) {
    const DecodedPicture picture = decodePictureWithin(heifData("quadrants.heic"), {32, 40});
    ASSERT_TRUE(picture.ok()) << picture.error.toStdString();
    EXPECT_EQ(picture.image.size(), QSize(32, 24));
    EXPECT_EQ(picture.image.format(), QImage::Format_RGB32);
    expectQuadrants(picture.image, {kRed, kGreen, kBlue, kWhite}, "shrunk");
    EXPECT_EQ(decodePictureWithin(heifData("turned.avif"), {24, 24}).image.size(), QSize(18, 24));
}

TEST(HeifDecoderTest, PhotoDatesComeFromTheExifBlockWhenAskedFor) {
    EXPECT_EQ(decodePicture(heifData("turned.avif"), PhotoDates::Read).taken, QDate(2019, 7, 14));
    EXPECT_EQ(decodePicture(heifData("dated.heic"), PhotoDates::Read).taken, QDate(2021, 3, 2));
    EXPECT_EQ(decodePictureWithin(heifData("dated.heic"), {8, 8}, PhotoDates::Read).taken,
              QDate(2021, 3, 2));
    EXPECT_EQ(decodePicture(heifData("quadrants.heic"), PhotoDates::Read).taken, std::nullopt);
    EXPECT_EQ(decodePicture(heifData("dated.heic"), PhotoDates::Skip).taken, std::nullopt);
}

// `heic` with the width and height of every 'ispe' box replaced.
QByteArray withDeclaredSize(QByteArray heic, quint32 width, quint32 height) {
    qsizetype box = heic.indexOf("ispe");
    if (box < 0) {
        return {};
    }
    for (; box >= 0; box = heic.indexOf("ispe", box + 1)) {
        for (int i = 0; i < 4; ++i) {
            heic[box + 8 + i] = char(width >> (24 - 8 * i));
            heic[box + 12 + i] = char(height >> (24 - 8 * i));
        }
    }
    return heic;
}

// The size is read from the header: the file holds a 64 x 48 picture, so a decode could
// never give the size that the refusal names.
TEST(HeifDecoderTest, PicturesOfMoreThan120MegapixelsAreRefusedFromTheirHeader) {
    const QByteArray heic = testing::fileBytes(heifData("quadrants.heic"));
    const struct {
        quint32 width;
        quint32 height;
    } cases[] = {{10955, 10955}, {20000, 20000}, {30000, 4001}};
    for (const auto& c : cases) {
        const QByteArray bytes = withDeclaredSize(heic, c.width, c.height);
        ASSERT_FALSE(bytes.isEmpty());
        const QSize size(static_cast<int>(c.width), static_cast<int>(c.height));
        const DecodedPicture picture = decodeHeif("big.heic", bytes, {}, PhotoDates::Skip);
        EXPECT_FALSE(picture.ok());
        EXPECT_EQ(picture.error, tooLargeError(size)) << picture.error.toStdString();
    }
    // A file of 534 bytes that declares 64 x 48 pixels and codes 30720 x 25452: refused before
    // its decode takes the gigabytes of that size.
    const DecodedPicture huge = decodeHeif(
        "huge.avif", testing::fileBytes(heifData("stream_larger_than_declared.avif")), {},
        PhotoDates::Skip);
    EXPECT_FALSE(huge.ok());
    EXPECT_FALSE(huge.error.isEmpty());
}

// Every cut of a file, and bytes that only start like one, give no picture and a reason,
// without a crash or a hang.
TEST(HeifDecoderTest, DamagedFilesGiveNoPictureAndSayWhy) {
    for (const char* name : {"quadrants.heic", "quadrants.avif", "turned.avif"}) {
        const QByteArray bytes = testing::fileBytes(heifData(name));
        for (qsizetype length = 0; length < bytes.size(); length += 7) {
            const DecodedPicture picture =
                decodeHeif("cut.heic", bytes.left(length), {}, PhotoDates::Read);
            EXPECT_FALSE(picture.ok()) << name << " cut at " << length;
            EXPECT_FALSE(picture.error.isEmpty()) << name << " cut at " << length;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("IMG_0003.HEIC");
    ASSERT_TRUE(testing::writeFileBytes(path, QByteArray("\0\0\0\x18" "ftypheic", 12) +
                                                  QByteArray(200, '\xFF')));
    const DecodedPicture picture = decodePicture(path);
    EXPECT_FALSE(picture.ok());
    EXPECT_FALSE(picture.error.isEmpty());
}

TEST(HeifDecoderTest, HeifFilesAreToldByTheirFirstBytes) {
    const struct {
        QByteArray start;
        bool heif;
    } cases[] = {
        {QByteArray("\0\0\0\x18" "ftypheic", 12), true},
        {QByteArray("\0\0\0\x18" "ftypmif1", 12), true},
        {QByteArray("\0\0\0\x1C" "ftypavif", 12), true},
        {QByteArray("\0\0\0\x18" "ftypisom", 12), false},  // a video
        {QByteArray("\0\0\0\x18" "ftyphei", 11), false},
        {QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01", 12), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(looksLikeHeif(c.start), c.heif) << c.start.toHex().constData();
    }
}

}  // namespace
}  // namespace lumi::display
