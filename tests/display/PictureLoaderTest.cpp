#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "display/PictureLoader.h"

namespace lumi::display {
namespace {

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loader.loading(); }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(delivered, QStringList{path("b.png")});

    loader.load(path("a.png"), record);
    loader.cancel();
    QTest::qWait(100);
    EXPECT_EQ(delivered, QStringList{path("b.png")});
}

}  // namespace
}  // namespace lumi::display
