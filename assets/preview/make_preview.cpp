// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the still that the preview shows: the fallback picture, scaled to the size of a
// preview window, half painted by the laser beams over the default background, so that the
// fan of coloured beams shows how the screen saver paints.
//
// Usage: make_preview <default.jpg> <bg.jpg> <output.png>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "display/LaserPainter.h"
#include "linux/display/CorePixels.h"

namespace {

constexpr QSize kStillSize(153, 115);
// The share of columns painted when the still is taken.
constexpr double kPaintedShare = 0.55;

QImage loadScaled(const char* path) {
    const QImage image(QString::fromLocal8Bit(path));
    if (image.isNull()) {
        return {};
    }
    return image.scaled(kStillSize, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
        .copy(QRect(QPoint(0, 0), kStillSize))
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_preview <default.jpg> <bg.jpg> <output.png>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QImage picture = loadScaled(argv[1]);
    QImage still = loadScaled(argv[2]);
    if (picture.isNull() || still.isNull()) {
        std::fprintf(stderr, "make_preview: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }

    lumi::display::LaserPainter painter;
    painter.start(lumi::display::constPixelsOf(picture), lumi::display::pixelsOf(still), {},
                  {kStillSize.width(), kStillSize.height()}, {}, qRgb(0, 0, 0));
    const int columns = static_cast<int>(painter.stepCount() * kPaintedShare);
    for (int column = 0; column < columns; ++column) {
        painter.step();
    }
    if (!still.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "make_preview: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
