// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the application icon of Lumiscribe at build time, so that no image file has to be kept
// in the source tree. The build runs this program once:
//
//     draw_icon <output-folder>
//
// It writes <output-folder>/<n>x<n>/apps/lumiscribe.png for every size of kSizes, the layout of
// the hicolor icon theme. Every size is drawn from the same shapes on a 256-unit canvas, so the
// small icons are true reductions of the large one and repeated builds give the same files.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdio>

namespace {

constexpr std::array kSizes{16, 32, 48, 64, 128, 256};
constexpr qreal kCanvas = 256.0;

// The picture being painted: a small landscape, revealed column by column from the left.
constexpr QRectF kPicture{40, 52, 176, 124};
constexpr qreal kRevealedFraction = 0.62;

// A rounded tile in the night-sky colours of the welcome picture.
void paintTile(QPainter& painter) {
    QLinearGradient gradient(0, 0, kCanvas, kCanvas);
    gradient.setColorAt(0.0, QColor(10, 12, 44));
    gradient.setColorAt(0.6, QColor(40, 18, 96));
    gradient.setColorAt(1.0, QColor(120, 30, 120));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    painter.fillPath(tile, gradient);
}

void paintLandscape(QPainter& painter, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(255, 168, 64));
    sky.setColorAt(1.0, QColor(236, 72, 104));
    painter.fillRect(area, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 140));
    painter.drawEllipse(QPointF(area.left() + 62, area.top() + 50), 22, 22);
    QPainterPath hill;
    hill.moveTo(area.bottomLeft());
    hill.cubicTo(area.left() + 50, area.top() + 60, area.left() + 110, area.top() + 110,
                 area.right(), area.top() + 70);
    hill.lineTo(area.bottomRight());
    hill.closeSubpath();
    painter.setBrush(QColor(34, 110, 76));
    painter.drawPath(hill);
}

// The frame, the revealed part of the picture and the dark part still to be painted.
void paintPicture(QPainter& painter) {
    painter.fillRect(kPicture.adjusted(-6, -6, 6, 6), QColor(240, 240, 250));
    painter.fillRect(kPicture, QColor(14, 16, 36));
    const qreal edge = kPicture.left() + kPicture.width() * kRevealedFraction;
    painter.save();
    painter.setClipRect(QRectF(kPicture.topLeft(), QPointF(edge, kPicture.bottom())));
    paintLandscape(painter, kPicture);
    painter.restore();
}

// Beams from the bottom-right corner to points of the column being painted, each in the
// colour of the pixel it ends on, as the display paints its pictures.
void paintBeams(QPainter& painter) {
    const QPointF source(226, 226);
    const qreal edge = kPicture.left() + kPicture.width() * kRevealedFraction;
    const std::array<std::pair<qreal, QColor>, 4> beams{{
        {kPicture.top() + 14, QColor(255, 180, 70)},
        {kPicture.top() + 48, QColor(250, 130, 90)},
        {kPicture.top() + 86, QColor(40, 170, 110)},
        {kPicture.bottom() - 8, QColor(30, 120, 80)},
    }};
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    for (const auto& [y, colour] : beams) {
        painter.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(source, QPointF(edge, y));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRadialGradient glow(source, 22);
    glow.setColorAt(0.0, QColor(255, 255, 255));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(source, 22, 22);
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    paintTile(painter);
    paintPicture(painter);
    paintBeams(painter);
    painter.end();
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_icon <output-folder>\n");
        return 2;
    }
    // The build machine need not have a display; drawing into a QImage needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const int size : kSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString path = folder + QStringLiteral("/lumiscribe.png");
        if (!QDir().mkpath(folder) || !drawIcon(size).save(path, "png")) {
            std::fprintf(stderr, "draw_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
