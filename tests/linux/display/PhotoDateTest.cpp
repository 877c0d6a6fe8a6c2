// SPDX-License-Identifier: GPL-3.0-or-later
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "linux/display/PhotoDate.h"
#include "support/ExifBlock.h"
#include "support/Files.h"

namespace lumi::display {
namespace {

using testing::ByteOrder;
using testing::exifBlock;

TEST(PhotoDateTest, ExifDatesReadAsQDates) {
    EXPECT_EQ(parseExifDate("2019:07:14 10:20:30"), QDate(2019, 7, 14));
    EXPECT_EQ(parseExifDate("0000:00:00 00:00:00"), std::nullopt);
}

TEST(PhotoDateTest, ExifBlocksGiveTheirDateTimeOriginal) {
    const QByteArray little = exifBlock("2019:07:14 10:20:30");
    const struct {
        const char* name;
        QByteArray block;
        std::optional<QDate> day;
    } cases[] = {
        {"little-endian", little, QDate(2019, 7, 14)},
        {"big-endian", exifBlock("1999:12:31 23:59:59", ByteOrder::Big), QDate(1999, 12, 31)},
        {"with its Exif header", QByteArray("Exif\0\0", 6) + little, QDate(2019, 7, 14)},
        {"without the tag", exifBlock(nullptr), std::nullopt},
        {"cut short", little.left(little.size() - 25), std::nullopt},
        {"no TIFF structure", QByteArray("JUNKJUNKJUNKJUNK"), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(photoDateOfExif(c.block), c.day) << c.name;
    }
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.append(char(data.size() >> shift));
    }
    return chunk + type + data + QByteArray(4, '\0');  // the CRC is not checked
}

QByteArray encoded(const char* format) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The date is found in each kind of file where cameras and tools put it.
TEST(PhotoDateTest, FilesGiveTheDateTheirExifHolds) {
    const QByteArray exif = exifBlock("2021:03:02 08:00:00");
    const QByteArray app1 = QByteArray("Exif\0\0", 6) + exif;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((app1.size() + 2) >> 8)).append(char((app1.size() + 2) & 0xFF));
    const QByteArray jpeg = encoded("JPEG");
    const QByteArray png = encoded("PNG");
    const qsizetype afterHeader = 8 + 25;  // the signature and the IHDR chunk
    const qsizetype iend = png.size() - 12;
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<QDate> day;
    } cases[] = {
        {"photo.jpg", jpeg.left(2) + segment + app1 + jpeg.mid(2), QDate(2021, 3, 2)},
        {"plain.jpg", jpeg, std::nullopt},
        {"scan.tif", exif, QDate(2021, 3, 2)},
        {"early.png", png.left(afterHeader) + pngChunk("eXIf", exif) + png.mid(afterHeader),
         QDate(2021, 3, 2)},
        {"late.png", png.left(iend) + pngChunk("eXIf", exif) + png.mid(iend), QDate(2021, 3, 2)},
        {"plain.png", png, std::nullopt},
        {"huge-chunk.png", png.left(afterHeader) + QByteArray("\x7F\xFF\xFF\xFF" "eXIf", 8),
         std::nullopt},
        {"notes.txt", "2021:03:02 08:00:00", std::nullopt},
        {"empty.jpg", "", std::nullopt},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(testing::writeFileBytes(path, c.bytes));
        EXPECT_EQ(readPhotoDate(path), c.day) << c.name;
    }
    EXPECT_EQ(readPhotoDate(dir.filePath("missing.jpg")), std::nullopt);
}

}  // namespace
}  // namespace lumi::display
