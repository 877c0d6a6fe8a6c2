// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the two pictures that ship with Lumiscribe, so that no image file has to be kept in the
// source tree. The build runs this program once:
//
//     generate_pictures <output-folder>
//
// It writes default.jpg (the welcome picture shown while the user has chosen no pictures) and
// bg.jpg (the default background drawn behind every picture). The output depends only on this
// code and the installed fonts: there is no randomness, so repeated builds give the same files.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QtMath>

#include <cstdio>

namespace {

constexpr QSize kWelcomeSize{800, 600};
constexpr QSize kBackgroundSize{1920, 1200};
constexpr int kJpegQuality = 90;
constexpr auto kFontFamily = "Liberation Sans";

// A soft, round patch of light; the fan and the title are laid over these.
struct Glow {
    QPointF centre;
    qreal radius;
    QColor colour;
};

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

QImage blankImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// Night sky in the top-left corner, warming to violet and rose where the beams start.
void paintWelcomeGradient(QPainter& painter, QSize size) {
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0.0, QColor(6, 8, 32));
    gradient.setColorAt(0.45, QColor(30, 16, 84));
    gradient.setColorAt(0.75, QColor(118, 28, 128));
    gradient.setColorAt(1.0, QColor(236, 96, 92));
    painter.fillRect(QRect(QPoint(0, 0), size), gradient);
}

void paintGlows(QPainter& painter) {
    const Glow glows[] = {
        {{640, 120}, 170, QColor(80, 170, 255, 70)},
        {{170, 520}, 210, QColor(255, 80, 190, 60)},
        {{470, 300}, 120, QColor(120, 255, 220, 40)},
        {{90, 60}, 140, QColor(150, 110, 255, 60)},
    };
    painter.setPen(Qt::NoPen);
    for (const Glow& glow : glows) {
        QRadialGradient gradient(glow.centre, glow.radius);
        gradient.setColorAt(0.0, glow.colour);
        gradient.setColorAt(1.0, withAlpha(glow.colour, 0));
        painter.setBrush(gradient);
        painter.drawEllipse(glow.centre, glow.radius, glow.radius);
    }
}

// Small sparks scattered over the dark half. They are placed by a fixed integer hash rather
// than a random generator so that every build draws them in the same places.
void paintSparks(QPainter& painter, QSize size) {
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        const quint32 hash = quint32(i) * 2654435761u;
        const qreal x = (hash % 1000u) / 1000.0 * size.width();
        const qreal y = ((hash >> 10) % 1000u) / 1000.0 * size.height() * 0.7;
        const qreal radius = 0.6 + (hash >> 20) % 3 * 0.5;
        painter.setBrush(QColor(255, 255, 255, 90 + int((hash >> 24) % 120u)));
        painter.drawEllipse(QPointF(x, y), radius, radius);
    }
}

// One beam: a narrow wedge from the origin, bright at its source and fading with distance.
void paintRay(QPainter& painter, QPointF origin, qreal angle, qreal halfWidth, QColor colour) {
    constexpr qreal kLength = 960;
    const auto pointAt = [&](qreal a) { return origin + QPointF(qCos(a), -qSin(a)) * kLength; };
    QPainterPath wedge(origin);
    wedge.lineTo(pointAt(angle - halfWidth));
    wedge.lineTo(pointAt(angle + halfWidth));
    wedge.closeSubpath();

    QRadialGradient gradient(origin, kLength);
    gradient.setColorAt(0.0, colour);
    gradient.setColorAt(0.55, withAlpha(colour, colour.alpha() / 3));
    gradient.setColorAt(1.0, withAlpha(colour, 0));
    painter.fillPath(wedge, gradient);
}

// A fan of rainbow beams from the bottom-right corner, sweeping from left to straight up.
// Screen blending makes crossing beams brighter, as light does.
void paintRayFan(QPainter& painter, QSize size) {
    constexpr int kRays = 14;
    const QPointF origin(size.width(), size.height());
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    for (int i = 0; i < kRays; ++i) {
        const qreal t = qreal(i) / (kRays - 1);
        const qreal angle = qDegreesToRadians(93.0 + 84.0 * t);
        const qreal hue = 0.83 - 0.83 * t;
        paintRay(painter, origin, angle, qDegreesToRadians(1.7),
                 QColor::fromHsvF(hue, 1.0, 1.0, 0.6));
        paintRay(painter, origin, angle, qDegreesToRadians(0.3),
                 QColor::fromHsvF(hue, 0.35, 1.0, 0.7));
    }
    QRadialGradient source(origin, 170);
    source.setColorAt(0.0, QColor(255, 250, 230, 230));
    source.setColorAt(1.0, QColor(255, 160, 120, 0));
    painter.fillRect(QRectF(origin - QPointF(170, 170), origin), source);
    painter.restore();
}

QFont font(int pixelSize, bool bold) {
    QFont result(kFontFamily);
    result.setPixelSize(pixelSize);
    result.setBold(bold);
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

// Draws text with its baseline starting at `position`, over a soft two-step shadow that keeps
// it readable on the bright parts of the picture.
void paintShadowedText(QPainter& painter, QPointF position, const QString& text, QColor colour) {
    painter.setPen(QColor(0, 0, 0, 70));
    painter.drawText(position + QPointF(3, 3), text);
    painter.setPen(QColor(0, 0, 0, 150));
    painter.drawText(position + QPointF(1.5, 1.5), text);
    painter.setPen(colour);
    painter.drawText(position, text);
}

void paintTitle(QPainter& painter) {
    painter.setFont(font(54, true));
    paintShadowedText(painter, {48, 110}, QStringLiteral("Welcome to Lumiscribe"), Qt::white);
    painter.setFont(font(24, false));
    paintShadowedText(painter, {52, 152}, QStringLiteral("Your pictures, painted in light"),
                      QColor(190, 220, 255));
}

// A dark, rounded panel behind the instructions so that they stay legible over the beams.
void paintPanel(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1.5));
    painter.setBrush(QColor(8, 6, 30, 150));
    painter.drawRoundedRect(area, 18, 18);
}

void paintInstructions(QPainter& painter) {
    paintPanel(painter, QRectF(36, 196, 560, 300));

    painter.setFont(font(27, true));
    paintShadowedText(painter, {64, 242}, QStringLiteral("To show your own pictures:"),
                      QColor(255, 214, 120));

    const QStringList lines = {
        QStringLiteral("1.  Open the screen saver's settings"),
        QStringLiteral("     (the Setup dialog: lumiscribe /c)."),
        QStringLiteral("2.  On the \u201cOptions\u201d tab, click \u201cAdd Files\u201d"),
        QStringLiteral("     and pick your pictures."),
        QStringLiteral("They are then shown one after another,"),
        QStringLiteral("each painted by laser beams."),
    };
    painter.setFont(font(23, false));
    qreal baseline = 286;
    for (int i = 0; i < lines.size(); ++i) {
        const bool startsClosingNote = i == 4;
        baseline += startsClosingNote ? 14 : 0;
        paintShadowedText(painter, {64, baseline}, lines[i], Qt::white);
        baseline += 34;
    }
}

QImage drawWelcomePicture() {
    QImage image = blankImage(kWelcomeSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintWelcomeGradient(painter, image.size());
    paintGlows(painter);
    paintSparks(painter, image.size());
    paintRayFan(painter, image.size());
    paintTitle(painter);
    paintInstructions(painter);
    painter.end();
    return image;
}

// Deep blue in the top-left corner, where every screen shows it, fading to black.
void paintBackgroundGradient(QPainter& painter, QSize size) {
    QRadialGradient gradient(QPointF(size.width() * 0.3, size.height() * 0.25), size.width());
    gradient.setColorAt(0.0, QColor(16, 34, 78));
    gradient.setColorAt(0.5, QColor(6, 14, 38));
    gradient.setColorAt(1.0, QColor(0, 0, 6));
    painter.fillRect(QRect(QPoint(0, 0), size), gradient);
}

// A faint lattice of dots: enough texture to keep the background from looking flat, too quiet
// to compete with the pictures drawn on it.
void paintDotLattice(QPainter& painter, QSize size) {
    constexpr int kSpacing = 32;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(140, 170, 255, 22));
    for (int row = 0; row * kSpacing < size.height() + kSpacing; ++row) {
        const qreal offset = row % 2 == 0 ? 0 : kSpacing / 2.0;
        for (int x = 0; x < size.width() + kSpacing; x += kSpacing) {
            painter.drawEllipse(QPointF(x + offset, row * kSpacing), 1.6, 1.6);
        }
    }
}

QImage drawBackgroundPicture() {
    QImage image = blankImage(kBackgroundSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackgroundGradient(painter, image.size());
    paintDotLattice(painter, image.size());
    painter.end();
    return image;
}

bool writeJpeg(const QImage& image, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(kJpegQuality);
    if (writer.write(image)) {
        return true;
    }
    std::fprintf(stderr, "generate_pictures: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_pictures <output-folder>\n");
        return 2;
    }
    // The build machine need not have a display; drawing into a QImage needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "generate_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written =
        writeJpeg(drawWelcomePicture(), folder.filePath(QStringLiteral("default.jpg"))) &&
        writeJpeg(drawBackgroundPicture(), folder.filePath(QStringLiteral("bg.jpg")));
    return written ? 0 : 1;
}
