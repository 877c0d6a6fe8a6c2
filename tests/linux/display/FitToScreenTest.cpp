// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "linux/display/FitToScreen.h"
#include "linux/display/PictureLoader.h"

namespace lumi::display {
namespace {

TEST(FitToScreenTest, ShrinksWithItsProportionsAndNeverGrows) {
    struct Case {
        QSize picture;
        QSize bound;
        QSize fitted;
    };
    for (const Case& c : {
             Case{{6000, 4000}, {1920, 1080}, {1620, 1080}},  // too tall for the width
             Case{{5640, 3172}, {1920, 1080}, {1920, 1080}},  // 1079.8 rounds to 1080
             Case{{4000, 1000}, {1920, 1080}, {1920, 480}},   // too wide
             Case{{2000, 1000}, {1920, 1080}, {1920, 960}},   // larger in one direction only
             Case{{1000, 2000}, {1920, 1080}, {540, 1080}},
             Case{{1920, 1080}, {1920, 1080}, {1920, 1080}},  // fits exactly
             Case{{800, 600}, {1920, 1080}, {800, 600}},      // smaller: never grows
             Case{{100000, 1}, {100, 100}, {100, 1}},         // a side never drops to 0
             Case{{1, 100000}, {100, 100}, {1, 100}}, Case{{800, 600}, {}, {800, 600}},  // no bound
         }) {
        EXPECT_EQ(fittedSize(c.picture, c.bound), c.fitted)
            << c.picture.width() << "x" << c.picture.height();
    }
}

// The decoder delivers exactly the fitted size, from a JPEG decoded at a reduced size, from a
// format that cannot (PNG), and from a JPEG that stands on its side until turned upright.
TEST(FitToScreenTest, DecodesLargePicturesAtTheFittedSize) {
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
