// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThreadPool>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "linux/display/PictureLoader.h"
#include "linux/platform/RegularFile.h"
#include "support/Files.h"
#include "support/HostileFiles.h"

namespace lumi::display {
namespace {

// Writes the bits of a deflate stream, least significant first, as the format packs them.
class BitWriter {
public:
    void put(quint32 bits, int count) {
        pending_ |= quint64(bits) << used_;
        used_ += count;
        for (; used_ >= 8; used_ -= 8, pending_ >>= 8) {
            bytes_.append(char(pending_ & 0xFF));
        }
    }
    // A Huffman code, which the format stores most significant bit first.
    void putCode(quint32 code, int length) {
        quint32 reversed = 0;
        for (int i = 0; i < length; ++i) {
            reversed |= ((code >> i) & 1u) << (length - 1 - i);
        }
        put(reversed, length);
    }
    QByteArray finish() {
        if (used_ > 0) {
            bytes_.append(char(pending_ & 0xFF));
        }
        return bytes_;
    }

private:
    QByteArray bytes_;
    quint64 pending_ = 0;
    int used_ = 0;
};

// A zlib stream of `count` zero bytes: one literal, then copies of 258 bytes from one back.
QByteArray zeroStream(qint64 count) {
    BitWriter bits;
    bits.put(1, 1);  // the last block
    bits.put(1, 2);  // with the fixed codes
    const auto zero = [&] { bits.putCode(0x30, 8); };
    zero();
    for (qint64 copies = (count - 1) / 258; copies > 0; --copies) {
        bits.putCode(0xC5, 8);  // length 258
        bits.putCode(0, 5);     // distance 1
    }
    for (qint64 rest = (count - 1) % 258; rest > 0; --rest) {
        zero();
    }
    bits.putCode(0, 7);  // end of block
    const quint32 adler = quint32(count % 65521) << 16 | 1u;
    QByteArray stream("\x78\x01", 2);
    stream += bits.finish();
    for (int shift = 24; shift >= 0; shift -= 8) {
        stream.append(char(adler >> shift));
    }
    return stream;
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.append(char(data.size() >> shift));
    }
    const QByteArray typed = QByteArray(type) + data;
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : typed) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1u ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    crc ^= 0xFFFFFFFFu;
    chunk += typed;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.append(char(crc >> shift));
    }
    return chunk;
}

// A PNG file of `width` x `height` black pixels, 8-bit RGB, of which only the first `rows`
// rows are stored: the header still declares the whole size. Its pixels compress to about a
// thousandth of their size, so a picture of a hundred megapixels is made at once.
QByteArray blackPng(int width, int height, int rows) {
    QByteArray header;
    for (const int value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.append(char(value >> shift));
        }
    }
    header += QByteArray("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, not interlaced
    const qint64 rowBytes = 1 + 3 * qint64(width);    // a filter byte, then the pixels
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", zeroStream(rowBytes * rows)) + pngChunk("IEND", {});
}

class PictureLoaderTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(PictureLoaderTest, PhotoIsTurnedUprightByItsOrientationTag) {
    QImage sideways(4, 2, QImage::Format_RGB32);
    sideways.fill(Qt::white);
    QImageWriter writer(path("photo.jpg"));
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(sideways)) << writer.errorString().toStdString();

    const DecodedPicture decoded = decodePicture(path("photo.jpg"));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image.size(), QSize(2, 4));
    EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
}

TEST_F(PictureLoaderTest, TransparentPartsAreOverBlack) {
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 0, qRgba(10, 200, 30, 255));
    ASSERT_TRUE(picture.save(path("alpha.png")));
    const DecodedPicture decoded = decodePicture(path("alpha.png"));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(10, 200, 30));
}

TEST_F(PictureLoaderTest, FilesThatGiveNoPictureSayWhy) {
    QFile text(path("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    for (const QString& name : {QStringLiteral("notes.jpg"), QStringLiteral("missing.png")}) {
        const DecodedPicture decoded = decodePicture(path(name));
        EXPECT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error.isEmpty());
        EXPECT_EQ(decoded.path, path(name));
    }
}

TEST_F(PictureLoaderTest, PicturesOfMoreThan120MegapixelsAreRefusedBeforeTheirDecode) {
    const struct {
        QSize size;
        const char* error;  // none for a picture that shows, whose rows are all stored
    } cases[] = {
        {{12000, 10000}, nullptr},  // 120 megapixels exactly: as large as a picture may be
        {{10001, 12000}, "it is 10001 x 12000 pixels (120.1 megapixels), more than 120"},
        {{15500, 15500}, "it is 15500 x 15500 pixels (240.3 megapixels), more than 120"},
    };
    for (const auto& c : cases) {
        const QString file =
            path(QStringLiteral("%1x%2.png").arg(c.size.width()).arg(c.size.height()));
        // A refused picture needs only its header: it must not be decoded at all.
        ASSERT_TRUE(testing::writeFileBytes(
            file, blackPng(c.size.width(), c.size.height(), c.error ? 1 : c.size.height())));
        const DecodedPicture decoded = decodePicture(file);
        if (c.error) {
            EXPECT_FALSE(decoded.ok());
            EXPECT_TRUE(decoded.error.startsWith(QLatin1String(c.error)))
                << decoded.error.toStdString();
            continue;
        }
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        EXPECT_EQ(decoded.image.size(), c.size);
        EXPECT_EQ(decoded.image.pixel(c.size.width() - 1, c.size.height() - 1), qRgb(0, 0, 0));
    }
}

TEST_F(PictureLoaderTest, OnlyTheLatestLoadIsDeliveredAndNeverFromWithinTheCall) {
    QImage small(3, 3, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(path("a.png")));
    ASSERT_TRUE(small.scaled(5, 5).save(path("b.png")));

    PictureLoader loader;
    QStringList delivered;
    auto record = [&](const DecodedPicture& picture) { delivered.append(picture.path); };
    loader.prefetch(path("a.png"));
    loader.load(path("a.png"), record);
    loader.load(path("b.png"), record);
    EXPECT_TRUE(delivered.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loader.loading(); }, 120000));
    QTest::qWait(20);
    EXPECT_EQ(delivered, QStringList{path("b.png")});

    loader.load(path("a.png"), record);
    loader.cancel();
    QTest::qWait(100);
    EXPECT_EQ(delivered, QStringList{path("b.png")});
}

// Counts the decodes a loader asks for; safe on the pool's threads.
struct CountingDecoder {
    std::shared_ptr<std::atomic<int>> count = std::make_shared<std::atomic<int>>(0);
    DecodedPicture operator()(const QString& path) const {
        ++*count;
        return decodePicture(path);
    }
};

// Loads `path` and waits for the delivery.
DecodedPicture loadAndWait(PictureLoader& loader, const QString& path) {
    DecodedPicture delivered;
    loader.load(path, [&](const DecodedPicture& picture) { delivered = picture; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !loader.loading(); }, 120000));
    return delivered;
}

// The display of a one-entry list: load, prefetch the same entry, load again.
TEST_F(PictureLoaderTest, PictureInHandIsNotDecodedAgain) {
    QImage small(3, 2, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(path("a.png")));
    CountingDecoder decoder;
    PictureLoader loader(decoder);
    const DecodedPicture first = loadAndWait(loader, path("a.png"));
    for (int cycle = 0; cycle < 3; ++cycle) {
        loader.prefetch(path("a.png"));
        const DecodedPicture again = loadAndWait(loader, path("a.png"));
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again.image.constBits(), first.image.constBits());  // the same pixels, shared
    }
    EXPECT_EQ(*decoder.count, 1);
    EXPECT_EQ(loader.decodeCount(), 1);
}

// Between two paintings the loader keeps one decoded picture: the one shown goes once the
// next file has decoded, and nothing else of the loader keeps its pixels.
TEST_F(PictureLoaderTest, PictureShownIsDroppedOnceTheNextHasDecoded) {
    QImage small(3, 2, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(path("a.png")));
    ASSERT_TRUE(small.save(path("b.png")));
    PictureLoader loader;
    DecodedPicture shown = loadAndWait(loader, path("a.png"));
    EXPECT_FALSE(shown.image.isDetached());  // kept for a load of the same file
    loader.prefetch(path("b.png"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.image.isDetached(); }, 120000));
}

// A file replaced or touched after its decode is decoded again, whether the picture was in
// hand or decoded ahead.
TEST_F(PictureLoaderTest, ChangedFileIsDecodedAgain) {
    enum class Change { None, Size, ModificationTime };
    const struct {
        bool prefetched;
        Change change;
        int decodes;
    } cases[] = {
        {false, Change::None, 1}, {false, Change::Size, 2}, {false, Change::ModificationTime, 2},
        {true, Change::None, 2},  {true, Change::Size, 3},  {true, Change::ModificationTime, 3},
    };
    for (const auto& test : cases) {
        QImage before(4, 4, QImage::Format_RGB32);
        before.fill(Qt::red);
        ASSERT_TRUE(before.save(path("a.bmp")));
        ASSERT_TRUE(before.save(path("b.bmp")));
        CountingDecoder decoder;
        PictureLoader loader(decoder);
        // Picture a is in hand; b is decoded ahead when the case asks for it.
        ASSERT_TRUE(loadAndWait(loader, path("a.bmp")).ok());
        const QString changed = path(test.prefetched ? "b.bmp" : "a.bmp");
        if (test.prefetched) {
            loader.prefetch(changed);
            ASSERT_TRUE(QTest::qWaitFor([&] { return *decoder.count == 2; }, 120000));
            QTest::qWait(20);
        }

        QImage after = before;
        after.fill(Qt::blue);  // a bitmap of the same size has the same length
        if (test.change == Change::Size) {
            after = after.scaled(5, 4);
        }
        if (test.change != Change::None) {
            QFile file(changed);
            const QDateTime modified = QFileInfo(changed).lastModified();
            const qint64 length = QFileInfo(changed).size();
            ASSERT_TRUE(after.save(changed));
            ASSERT_EQ(QFileInfo(changed).size() == length, test.change != Change::Size);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(modified.addSecs(test.change == Change::Size ? 0 : 5),
                                         QFileDevice::FileModificationTime));
        }
        const DecodedPicture shown = loadAndWait(loader, changed);
        ASSERT_TRUE(shown.ok());
        const QImage& expected = test.change == Change::None ? before : after;
        EXPECT_EQ(shown.image.size(), expected.size());
        EXPECT_EQ(shown.image.pixel(0, 0), expected.pixel(0, 0));
        EXPECT_EQ(*decoder.count, test.decodes)
            << "prefetched " << test.prefetched << ", change " << int(test.change);
    }
}

// A file that gives no picture is read once while it stays as it is: later prefetches and
// loads deliver its failure without a decode, until the file changes. A file larger than any
// picture is skipped by its size alone, without a read.
TEST_F(PictureLoaderTest, FailedFileIsNotReadAgainUntilItChanges) {
    enum class Content { Garbage, Oversized };
    enum class Change { None, Touched, Replaced };
    for (const Content content : {Content::Garbage, Content::Oversized}) {
        for (const Change change : {Change::None, Change::Touched, Change::Replaced}) {
            const QString file = path("broken.bmp");
            ASSERT_TRUE(testing::writeFileBytes(file, "no picture here"));
            if (content == Content::Oversized) {
                std::filesystem::resize_file(QFile::encodeName(file).toStdString(),
                                             kMaxPictureFileBytes + 1);
            }
            CountingDecoder decoder;
            PictureLoader loader(decoder);
            const DecodedPicture failed = loadAndWait(loader, file);
            EXPECT_FALSE(failed.ok());
            if (content == Content::Oversized) {
                EXPECT_EQ(failed.error, fileTooLargeError(kMaxPictureFileBytes + 1));
            }
            for (int pass = 0; pass < 3; ++pass) {
                loader.prefetch(file);
                EXPECT_EQ(loadAndWait(loader, file).error, failed.error);
            }
            EXPECT_EQ(*decoder.count, 1);

            if (change == Change::Touched) {
                QFile touched(file);
                ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
                ASSERT_TRUE(touched.setFileTime(QFileInfo(file).lastModified().addSecs(5),
                                                QFileDevice::FileModificationTime));
            } else if (change == Change::Replaced) {
                QImage small(2, 2, QImage::Format_RGB32);
                small.fill(Qt::red);
                ASSERT_TRUE(small.save(file, "BMP"));
            }
            const DecodedPicture last = loadAndWait(loader, file);
            EXPECT_EQ(last.ok(), change == Change::Replaced);
            EXPECT_EQ(loader.decodeCount(), change == Change::None ? 1 : 2)
                << "content " << int(content) << ", change " << int(change);
            EXPECT_EQ(*decoder.count, loader.decodeCount());
        }
    }
}

}  // namespace
}  // namespace lumi::display

namespace lumi::display {
namespace {

// Whatever stands where a listed picture should be is refused at once, like a file that
// does not load; a picture beside it still shows. The pipes come first, and more of them
// than the pool has threads: none of them may hold a thread that the picture needs.
TEST(PictureLoaderHostileTest, HostileEntriesAreSkippedAndNeverHoldTheLoader) {
    struct Expected {
        testing::Hostile kind;
        const char* reason;
    };
    const Expected table[] = {
        {testing::Hostile::Fifo, "it is a named pipe, not a regular file"},
        {testing::Hostile::Folder, "it is a folder, not a regular file"},
        {testing::Hostile::Device, "it is a device, not a regular file"},
        {testing::Hostile::Unreadable, "Permission denied"},
        {testing::Hostile::Vanished, "no such file"},
    };
    QTemporaryDir dir;
    PictureLoader loader;
    for (const Expected& expected : table) {
        const int threads = std::max(2, QThreadPool::globalInstance()->maxThreadCount()) + 1;
        for (int i = 0; i < threads; ++i) {
            const QString entry = dir.filePath(QStringLiteral("%1-%2.jpg")
                                                   .arg(static_cast<int>(expected.kind))
                                                   .arg(i));
            if (!testing::makeHostile(expected.kind, entry)) {
                break;  // this user reads every file
            }
            const DecodedPicture delivered = loadAndWait(loader, entry);
            EXPECT_FALSE(delivered.ok());
            EXPECT_EQ(delivered.error, QString::fromLatin1(expected.reason));
        }
    }
    QImage small(3, 2, QImage::Format_RGB32);
    small.fill(Qt::green);
    ASSERT_TRUE(small.save(dir.filePath("good.png")));
    const DecodedPicture good = loadAndWait(loader, dir.filePath("good.png"));
    ASSERT_TRUE(good.ok()) << good.error.toStdString();
    EXPECT_EQ(good.image.pixel(1, 1), qRgb(0, 255, 0));
}

// File names are bytes: a picture whose name is Latin-1 shows through the name that the
// picture list gives it.
TEST(PictureLoaderHostileTest, APictureWhoseNameIsNotUtf8Shows) {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.path()) + "/bl\xE9.png";
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QTemporaryFile written(dir.filePath("XXXXXX.png"));
    ASSERT_TRUE(written.open());
    ASSERT_TRUE(small.save(&written, "PNG"));
    written.close();
    ASSERT_EQ(::rename(QFile::encodeName(written.fileName()).constData(), name.constData()), 0);
    written.setAutoRemove(false);

    const DecodedPicture decoded = decodePicture(platform::decodeFileName(name));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(0, 0, 255));
}

// The decoder delivers exactly the fitted size, from a JPEG decoded at a reduced size, from a
// format that cannot (PNG), and from a JPEG that stands on its side until turned upright.
TEST_F(PictureLoaderTest, DecodesLargePicturesAtTheFittedSize) {
    QTemporaryDir dir;
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(QColor(30, 160, 90));
    const QString jpeg = dir.filePath("a.jpg");
    const QString png = dir.filePath("a.png");
    ASSERT_TRUE(picture.save(jpeg, "JPEG", 95));
    ASSERT_TRUE(picture.save(png));
    for (const QString& path : {jpeg, png}) {
        const DecodedPicture shrunk = decodePictureWithin(path, QSize(100, 100));
        ASSERT_TRUE(shrunk.ok()) << shrunk.error.toStdString();
        EXPECT_EQ(shrunk.image.size(), QSize(100, 75)) << path.toStdString();
        EXPECT_EQ(shrunk.image.format(), QImage::Format_RGB32);
        EXPECT_EQ(decodePictureWithin(path, QSize(500, 500)).image.size(), QSize(400, 300));
        EXPECT_EQ(decodePicture(path).image.size(), QSize(400, 300));
    }

    const QString turned = dir.filePath("turned.jpg");
    QImageWriter writer(turned, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(picture));
    if (decodePicture(turned).image.size() != QSize(300, 400)) {
        GTEST_SKIP() << "the JPEG writer keeps no orientation here";
    }
    EXPECT_EQ(decodePictureWithin(turned, QSize(200, 100)).image.size(), QSize(75, 100));
}

}  // namespace
}  // namespace lumi::display
