// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how long the display's event loop goes unserved while a large photo is loaded and
// laser-painted on a 1920 x 1080 screen, against decoding the same photo on the user-interface
// thread, for a 6000 x 4000 and an 8000 x 6000 JPEG in one run; and how many pixels each
// repaint of the canvas covers.
//
// Usage: event_loop_bench [seconds-of-painting-to-watch]   (default 10)
//        event_loop_bench memory
//            The picture loader as the display drives it with a one-entry list: load the
//            6000 x 4000 photo, keep it on the screen, prefetch the next entry (the same one)
//            and load it again, three times; prints processor time and peak memory (VmHWM).

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

#include "BenchSupport.h"
#include "linux/display/PictureLoader.h"
#include "linux/display/DisplayWindow.h"
#include "music/NoMusicPlayer.h"
#include "linux/platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"
#include "linux/settings/PictureList.h"

namespace {

using namespace lumi;

QString writePhoto(const QTemporaryDir& dir, QSize size) {
    const QString path =
        dir.filePath(QStringLiteral("photo-%1x%2.jpg").arg(size.width()).arg(size.height()));
    if (!bench::photo(size).save(path, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

// Counts the repaints of the canvas and the pixels they cover.
class RepaintCounter final : public QObject {
public:
    int frames = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++frames;
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) {
                pixels += qint64{rect.width()} * rect.height();
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

void paintingScene(QSize size, double watchSeconds) {
    QTemporaryDir dir;
    const QString path = writePhoto(dir, size);

    // Baseline: the decode as it would block the user-interface thread.
    QElapsedTimer clock;
    clock.start();
    const display::DecodedPicture decoded = display::decodePicture(path);
    const double syncDecodeMs = clock.nsecsElapsed() / 1e6;
    if (!decoded.ok()) {
        std::fprintf(stderr, "cannot decode: %s\n", qPrintable(decoded.error));
        std::exit(1);
    }

    bench::MemoryStore store;
    store.write("SetReg", "2");
    store.write("BG", "1");
    store.write("Music", "0");
    store.write("Calendar", "0");
    settings::writePictureList(dir.filePath("List.txt"), {path});
    bench::NoCursor cursor;
    bench::NoWindows windows(QRect(0, 0, 1920, 1080));
    platform::SystemClock systemClock;
    music::NoMusicPlayer player;
    display::DisplayWindow window(display::DisplayServices{store, cursor, windows, systemClock, player,
                                                   dir.path() + "/", QSize(1920, 1080), [] {}});
    display::frmMain& form = window.form;
    form.Form_Load();
    window.setGeometry(0, 0, 1920, 1080);
    window.show();
    RepaintCounter repaints;
    window.Pic2->installEventFilter(&repaints);

    // A 1 ms timer records the longest wait between two of its ticks: the time the event
    // loop went unserved.
    QElapsedTimer sinceTick;
    double longestLoadGapMs = 0;
    double longestPaintGapMs = 0;
    double loadMs = 0;
    bool painting = false;
    int framesAtStart = 0;
    qint64 pixelsAtStart = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        sinceTick.start();
        if (!painting && form.painter().running()) {
            painting = true;
            loadMs = clock.nsecsElapsed() / 1e6;
            framesAtStart = repaints.frames;
            pixelsAtStart = repaints.pixels;
            return;  // the gap that ends here belongs to the load
        }
        (painting ? longestPaintGapMs : longestLoadGapMs) =
            std::max(painting ? longestPaintGapMs : longestLoadGapMs, gap);
        if (!form.changingPicture() || clock.elapsed() > (loadMs + watchSeconds * 1000)) {
            if (painting) {
                QCoreApplication::exit(0);
            }
        }
    });

    clock.start();
    sinceTick.start();
    probe.start();
    form.Form_Activate();
    QApplication::exec();

    const double paintedMs = clock.nsecsElapsed() / 1e6 - loadMs;
    const int columns = form.painter().column();
    const double perColumnMs = paintedMs / std::max(columns, 1);
    const int frames = repaints.frames - framesAtStart;
    const qint64 visible = qint64{window.Pic2->image().width()} * window.Pic2->image().height();
    const double pixelsPerFrame = double(repaints.pixels - pixelsAtStart) / std::max(frames, 1);
    std::printf("%d x %d JPEG centred on a 1920 x 1080 screen\n", size.width(), size.height());
    std::printf("  decode on the UI thread (baseline):  %8.1f ms unserved\n", syncDecodeMs);
    std::printf("  load off the UI thread:              %8.1f ms, longest gap %6.1f ms\n", loadMs,
                longestLoadGapMs);
    std::printf("  painting: %d of %d columns in %.0f ms (%.2f ms a column), longest gap %.1f ms\n",
                columns, form.painter().stepCount(), paintedMs, perColumnMs, longestPaintGapMs);
    std::printf("  repaints: %d, %.0f pixels a repaint = %.3f of the visible canvas\n", frames,
                pixelsPerFrame, pixelsPerFrame / std::max<qint64>(visible, 1));
    std::printf("  longest painting gap / 16 ms aim:    %8.3f\n", longestPaintGapMs / 16.0);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int memoryScene() {
    QTemporaryDir dir;
    const QString path = writePhoto(dir, QSize(6000, 4000));
    display::PictureLoader loader;
    QImage onScreen;  // the display's copy of the picture it shows
    const auto loadAndWait = [&] {
        QEventLoop loop;
        loader.load(path, [&](const display::DecodedPicture& picture) {
            onScreen = picture.image;
            loop.quit();
        });
        loop.exec();
    };
    loadAndWait();
    const double cpuAtFirstPicture = cpuSeconds();
    const QString hwmAtFirstPicture = bench::procStatus("VmHWM:");
    for (int cycle = 0; cycle < 3; ++cycle) {
        loader.prefetch(path);  // the painting has ended: the next entry is the same one
        QEventLoop delay;       // the Delay
        QTimer::singleShot(1500, &delay, &QEventLoop::quit);
        delay.exec();
        loadAndWait();
    }
    std::printf("one-entry list, 6000 x 4000 JPEG, picture loader over 3 cycles\n");
    std::printf("  first picture: %.2f s CPU, VmHWM %s\n", cpuAtFirstPicture,
                qPrintable(hwmAtFirstPicture));
    std::printf("  3 more cycles: %.2f s CPU, VmHWM %s at the end\n",
                cpuSeconds() - cpuAtFirstPicture, qPrintable(bench::procStatus("VmHWM:")));
    return onScreen.isNull() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && QString(argv[1]) == "memory") {
        return memoryScene();
    }
    const double watchSeconds = argc > 1 ? QString(argv[1]).toDouble() : 10.0;
    paintingScene(QSize(6000, 4000), watchSeconds);
    paintingScene(QSize(8000, 6000), watchSeconds);
    return 0;
}
