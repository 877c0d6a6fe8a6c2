// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the line drawing of the laser painting: LineRasteriser drawing the complete beam
// fans of a picture, beam by beam and as LaserPainter draws them (LineRasteriser::drawFan for
// the beams whose major axis is x), against QPainter::drawLine with a pen change per beam on the same canvas,
// and against a plain memset of the canvas. Prints beams and pixels per second side by side.
//
// Usage: laser_bench [QPainter time box in seconds, default 20] [cases, default abc]
//
// The figures are processor time of this process, the best of three runs, because the
// machine may be busy with other work. Beams that only sweep over the canvas are limited by
// the memory system rather than by the processor, so busy neighbours still slow them down.

#include "display/DirtyBands.h"
#include "display/LaserPainter.h"
#include "display/LineRasteriser.h"
#include "linux/display/CorePixels.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

using lumi::display::constPixelsOf;
using lumi::display::LaserPainter;
using lumi::display::LineRasteriser;
using lumi::display::pixelsOf;
using lumi::display::toPoint;
using lumi::display::toQSize;
using lumi::display::toRect;
using lumi::display::toSize;

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// One benchmark case: a picture of `source` pixels shown on a screen of `screen` pixels, the
// canvas centred on the screen.
struct Scene {
    const char* name;
    QSize source;
    QSize screen;
};

// What the display hands to the painter for a scene: the canvas image holds only the part of
// the canvas that lies on the screen.
struct Setup {
    QImage source;
    QImage canvas;
    QPoint canvasOrigin;  // canvas coordinate of canvas-image pixel (0, 0)
    QPoint beamOrigin;
    QRect clip;  // the canvas, in canvas-image coordinates
};

// A smooth synthetic photo: red grows to the right, green downwards, blue along the diagonal.
QImage gradient(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            line[x] = qRgb(x * 255 / size.width(), y * 255 / size.height(), (x + y) & 0xff);
        }
    }
    return image;
}

Setup makeSetup(const Scene& scene) {
    Setup setup;
    setup.source = gradient(scene.source);
    const QSize canvasSize = toQSize(LaserPainter::canvasSize(toSize(scene.source)));
    const QPoint corner((scene.screen.width() - canvasSize.width()) / 2,
                        (scene.screen.height() - canvasSize.height()) / 2);
    const QRect onScreen(corner, canvasSize);
    const QRect visible = onScreen.intersected(QRect(QPoint(0, 0), scene.screen));
    setup.canvasOrigin = visible.topLeft() - onScreen.topLeft();
    setup.canvas = QImage(visible.size(), QImage::Format_RGB32);
    setup.canvas.fill(0xff000000u);
    setup.beamOrigin = QPoint(scene.source.width(), scene.source.height());
    setup.clip = QRect(-setup.canvasOrigin, canvasSize);
    return setup;
}

struct Figures {
    qint64 beams = 0;
    qint64 pixels = 0;
    double seconds = 0;
    int columns = 0;
};

// Calls draw(target, colour) for the beams of the painting's steps `columns`, in the
// painting's order, with a black background; beams in no colour are only counted.
template <typename Draw>
void forEachBeam(const Setup& setup, const std::vector<int>& columns, Figures& figures, Draw draw) {
    const int w = setup.source.width();
    const int h = setup.source.height();
    const QRgb black = 0xff000000u;
    for (const int c : columns) {
        for (int r = 0; r <= h; ++r) {
            ++figures.beams;
            if (c < w && r < h) {
                draw(QPoint(c, r), reinterpret_cast<const QRgb*>(setup.source.constScanLine(r))[c]);
            }
        }
        ++figures.beams;
        draw(QPoint(c, h), black);
        for (int r = 0; c == w && r <= h; ++r) {
            ++figures.beams;
            draw(QPoint(w, r), black);
        }
        ++figures.columns;
    }
}

Figures rasteriseFans(Setup& setup, const std::vector<int>& columns) {
    Figures figures;
    const double start = cpuSeconds();
    LineRasteriser raster(pixelsOf(setup.canvas), toPoint(setup.canvasOrigin));
    raster.setClip(toRect(setup.clip));
    forEachBeam(setup, columns, figures, [&](QPoint target, QRgb color) {
        figures.pixels +=
            LineRasteriser::pixelCount(raster.drawLine(toPoint(setup.beamOrigin), toPoint(target), color));
    });
    figures.seconds = cpuSeconds() - start;
    return figures;
}

// The same beams as rasteriseFans(), drawn as LaserPainter draws them: the coloured beams of a
// column whose major axis is x as one fan (LineRasteriser::drawFan), the others one by one.
// The pixel count is that of the beams, as if drawn one by one.
Figures rasteriseWholeFans(Setup& setup, const std::vector<int>& columns, qint64 beamPixels) {
    Figures figures;
    const double start = cpuSeconds();
    LineRasteriser raster(pixelsOf(setup.canvas), toPoint(setup.canvasOrigin));
    raster.setClip(toRect(setup.clip));
    const int w = setup.source.width();
    const int h = setup.source.height();
    const QPoint o = setup.beamOrigin;
    const lumi::display::Point from = toPoint(o);
    std::vector<QRgb> colors;
    for (const int c : columns) {
        const int reach = std::abs(c - o.x());
        const int fanFirst = reach == 0 ? h : std::clamp(o.y() - reach, 0, h);
        const int fanEnd = reach == 0 ? h : std::clamp(o.y() + reach + 1, fanFirst, h);
        if (c < w) {
            const auto color = [&](int r) {
                return reinterpret_cast<const QRgb*>(setup.source.constScanLine(r))[c];
            };
            for (int r = 0; r < fanFirst; ++r) {
                raster.drawLine(from, {c, r}, color(r));
            }
            colors.resize(static_cast<std::size_t>(fanEnd - fanFirst));
            for (int r = fanFirst; r < fanEnd; ++r) {
                colors[static_cast<std::size_t>(r - fanFirst)] = color(r);
            }
            raster.drawFan(from, c, fanFirst, colors.data(), fanEnd - fanFirst);
            for (int r = fanEnd; r < h; ++r) {
                raster.drawLine(from, {c, r}, color(r));
            }
        }
        raster.drawLine(from, {c, h}, 0xff000000u);
        for (int r = 0; c == w && r <= h; ++r) {
            raster.drawLine(from, {w, r}, 0xff000000u);
        }
        figures.beams += h + 2 + (c == w ? h + 1 : 0);
        ++figures.columns;
    }
    figures.seconds = cpuSeconds() - start;
    figures.pixels = beamPixels;
    return figures;
}

// The same beams with QPainter: a pen change and a drawLine per beam. `columns` is cut short
// after the column during which `timeBox` seconds ran out.
Figures painterFans(Setup& setup, const std::vector<int>& columns, double timeBox) {
    Figures figures;
    const double start = cpuSeconds();
    QPainter painter(&setup.canvas);
    painter.setClipRect(setup.clip);
    painter.translate(-setup.canvasOrigin);
    for (const int c : columns) {
        forEachBeam(setup, {c}, figures, [&](QPoint target, QRgb color) {
            painter.setPen(QColor::fromRgb(color));
            painter.drawLine(setup.beamOrigin, target);
        });
        if (cpuSeconds() - start > timeBox) {
            break;
        }
    }
    painter.end();
    figures.seconds = cpuSeconds() - start;
    return figures;
}

// A whole painting through LaserPainter, step by step, as the display runs it; with
// `takeRepaints`, the dirty region is also taken after every column, as the display takes it
// at most.
double laserPainting(Setup& setup, bool takeRepaints = false) {
    const double start = cpuSeconds();
    LaserPainter painter;
    painter.start(constPixelsOf(setup.source), pixelsOf(setup.canvas), toPoint(setup.canvasOrigin),
                  toPoint(setup.beamOrigin), {}, 0xff000000u);
    while (painter.running()) {
        painter.step();
        if (takeRepaints) {
            painter.takeDirtyRegion();
        }
    }
    return cpuSeconds() - start;
}

// The same painting as laserPainting(), recording the changed pixels the way the painter
// did before it recorded one fan per step: one DirtyBands::addLine per beam, and the beams'
// bounding boxes joined. The canvas is repainted from the bands once per column, as the
// display would at most.
double perBeamRecordPainting(Setup& setup) {
    const double start = cpuSeconds();
    lumi::display::DirtyBands dirty;
    dirty.reset(toSize(setup.canvas.size()));
    LineRasteriser raster(pixelsOf(setup.canvas), toPoint(setup.canvasOrigin));
    raster.setClip(toRect(setup.clip));
    const lumi::display::Point originInImage = toPoint(setup.beamOrigin - setup.canvasOrigin);
    lumi::display::Rect box;
    const int w = setup.source.width();
    std::vector<int> columns(static_cast<std::size_t>(w + 1));
    for (int c = 0; c <= w; ++c) {
        columns[static_cast<std::size_t>(c)] = c;
    }
    Figures figures;
    int lastColumn = 0;
    forEachBeam(setup, columns, figures, [&](QPoint target, QRgb color) {
        const lumi::display::Rect drawn =
            raster.drawLine(toPoint(setup.beamOrigin), toPoint(target), color | 0xff000000u);
        if (!drawn.isEmpty()) {
            box = box.united(drawn);
            dirty.addLine(originInImage, toPoint(target - setup.canvasOrigin), drawn);
        }
        if (figures.columns != lastColumn) {
            lastColumn = figures.columns;
            dirty.takeRegion();
        }
    });
    dirty.takeRegion();
    return cpuSeconds() - start;
}

double memsetSeconds(QImage& canvas) {
    constexpr int kRepeats = 50;
    const double start = cpuSeconds();
    for (int i = 0; i < kRepeats; ++i) {
        std::memset(canvas.bits(), i, static_cast<std::size_t>(canvas.sizeInBytes()));
    }
    return (cpuSeconds() - start) / kRepeats;
}

// About `count` columns spread evenly over 0 ... w, ending with w.
std::vector<int> sampleColumns(int w, int count) {
    std::vector<int> columns;
    for (int i = 0; i < count; ++i) {
        const int c = static_cast<int>(static_cast<qint64>(w) * i / (count - 1));
        if (columns.empty() || columns.back() != c) {
            columns.push_back(c);
        }
    }
    return columns;
}

template <typename Run>
Figures bestOfThree(Run run) {
    Figures best = run();
    for (int i = 1; i < 3; ++i) {
        const Figures figures = run();
        if (figures.seconds < best.seconds) {
            best = figures;
        }
    }
    return best;
}

void printRow(const char* what, const Figures& f) {
    std::printf("  %-30s %5d cols %10lld beams %12lld px %8.3f s %7.2f Mbeam/s %7.0f Mpx/s\n", what,
                f.columns, static_cast<long long>(f.beams), static_cast<long long>(f.pixels),
                f.seconds, f.beams / f.seconds / 1e6, f.pixels / f.seconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const double timeBox = argc > 1 ? std::atof(argv[1]) : 20.0;
    const QByteArray cases = argc > 2 ? QByteArray(argv[2]) : QByteArray("abc");

    const Scene scenes[] = {
        {"(a) 640 x 480 picture", QSize(640, 480), QSize(640, 480)},
        {"(b) 1920 x 1080 picture", QSize(1920, 1080), QSize(1920, 1080)},
        {"(c) 4032 x 3024 photo on a 1920 x 1080 screen", QSize(4032, 3024), QSize(1920, 1080)},
    };
    double fullSeconds[3] = {};
    for (int index = 0; index < 3; ++index) {
        if (!cases.contains(static_cast<char>('a' + index))) {
            continue;
        }
        const Scene& scene = scenes[index];
        Setup setup = makeSetup(scene);
        std::printf("%s: canvas image %d x %d at canvas (%d, %d)\n", scene.name,
                    setup.canvas.width(), setup.canvas.height(), setup.canvasOrigin.x(),
                    setup.canvasOrigin.y());
        const int w = scene.source.width();

        const Figures full =
            bestOfThree([&] { return rasteriseFans(setup, sampleColumns(w, w + 1)); });
        printRow("LineRasteriser, all fans", full);
        const std::vector<int> all = sampleColumns(w, w + 1);
        const Figures whole =
            bestOfThree([&] { return rasteriseWholeFans(setup, all, full.pixels); });
        printRow("  drawn as fans at once", whole);
        fullSeconds[index] = whole.seconds;
        std::printf("  %-30s %8.3f s\n", "LaserPainter, whole painting", laserPainting(setup));
        // The painting's CPU with the changed pixels recorded per beam (before) and per fan
        // (now), the best of three each, taken in turns.
        double perBeam = 1e9;
        double perFan = 1e9;
        for (int i = 0; i < 3; ++i) {
            perBeam = std::min(perBeam, perBeamRecordPainting(setup));
            perFan = std::min(perFan, laserPainting(setup, true));
        }
        std::printf("  %-30s %8.3f s per beam, %.3f s per fan: %.2f x the time\n",
                    "painting with its record", perBeam, perFan, perFan / perBeam);

        // QPainter on an evenly spread sample of columns, and the rasteriser on the same ones.
        const std::vector<int> sample = sampleColumns(w, 65);
        const Figures qt = bestOfThree([&] { return painterFans(setup, sample, timeBox); });
        const std::vector<int> done(sample.begin(), sample.begin() + qt.columns);
        const Figures ours = bestOfThree([&] { return rasteriseFans(setup, done); });
        const Figures oursFans =
            bestOfThree([&] { return rasteriseWholeFans(setup, done, ours.pixels); });
        Figures qtRow = qt;
        qtRow.pixels = ours.pixels;  // the same beams on the same clip
        printRow("QPainter, sample of columns", qtRow);
        printRow("LineRasteriser, same sample", ours);
        printRow("  drawn as fans at once", oursFans);
        // The sample's columns lie far apart, so the rasteriser finds less of the canvas in the
        // caches than during a whole painting; the second ratio compares whole paintings, with
        // QPainter's time extrapolated from its evenly spread sample.
        const double qtWhole = qt.seconds * (w + 1) / qt.columns;
        std::printf(
            "  %-30s %8.1f x on the sample, %.1f x on the whole painting (QPainter about "
            "%.1f s)\n",
            "beams/s LineRasteriser/QPainter",
            (ours.beams / ours.seconds) / (qt.beams / qt.seconds), qtWhole / full.seconds, qtWhole);
        std::printf("  %-30s %8.1f x on the sample, %.1f x on the whole painting\n",
                    "  drawn as fans at once",
                    (oursFans.beams / oursFans.seconds) / (qt.beams / qt.seconds),
                    qtWhole / whole.seconds);

        const double memset = memsetSeconds(setup.canvas);
        std::printf(
            "  %-30s %8.6f s per canvas, %.0f Mpx/s\n\n", "memset of the canvas", memset,
            setup.canvas.width() * static_cast<double>(setup.canvas.height()) / memset / 1e6);
    }
    if (fullSeconds[1] > 0 && fullSeconds[2] > 0) {
        std::printf("time (c) / time (b), all fans drawn as fans at once: %.2f\n", fullSeconds[2] / fullSeconds[1]);
    }
    return 0;
}
