// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "linux/display/CorePixels.h"

namespace lumi::display {
namespace {

// The core draws into the image's own memory, whose rows lie bytesPerLine() apart.
TEST(CorePixelsTest, AViewWritesIntoTheImageItself) {
    std::vector<QRgb> memory(5 * 2, 0xff000000u);
    QImage image(reinterpret_cast<uchar*>(memory.data()), 3, 2, 5 * 4, QImage::Format_RGB32);
    pixelsOf(image).row(1)[2] = 0xff123456u;
    EXPECT_EQ(memory[5 + 2], 0xff123456u);
    EXPECT_EQ(constPixelsOf(image).row(1)[2], 0xff123456u);
}

TEST(CorePixelsTest, RectanglesKeepTheirEdges) {
    for (const QRect& rect : {QRect(), QRect(2, 3, 1, 1), QRect(-5, 4, 13, 6), QRect(7, 1, 0, 4)}) {
        EXPECT_EQ(toQRect(toRect(rect)), rect);
        EXPECT_EQ(toRect(rect).isEmpty(), rect.isEmpty());
    }
    EXPECT_EQ(toQRegion({{0, 0, 9, 31}, {2, 32, 5, 40}}), QRegion(0, 0, 10, 32) + QRegion(2, 32, 4, 9));
}

}  // namespace
}  // namespace lumi::display
