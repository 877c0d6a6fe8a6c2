// Measures how long the display's event loop goes unserved while a large photo is loaded and
// laser-painted, against decoding the same photo on the user-interface thread, in one run.
//
// Usage: event_loop_bench [seconds-of-painting-to-watch]   (default 10)

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "display/PictureLoader.h"
#include "display/frmMain.h"
#include "music/NoMusicPlayer.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/SettingsStore.h"
#include "platform/WindowServices.h"
#include "settings/PictureList.h"

namespace {

using namespace lumi;

class MemoryStore final : public platform::SettingsStore {
public:
    QString read(const QString& key, const QString& fallback) const override {
        return values_.value(key.toLower(), fallback);
    }
    bool contains(const QString& key) const override { return values_.contains(key.toLower()); }
    void write(const QString& key, const QString& value) override {
        values_.insert(key.toLower(), value);
    }

private:
    QMap<QString, QString> values_;
};

class NoCursor final : public platform::Cursor {
public:
    int showCursor(bool) override { return 0; }
};

class NoWindows final : public platform::WindowServices {
public:
    platform::NativeWindow findTopLevelWindow(const QString&) override { return 0; }
    QRect screenRect() override { return {0, 0, 1920, 1080}; }
    QList<QRect> monitorRects() override { return {screenRect()}; }
    void showTopMost(QWidget&, const QRect&) override {}
    void showTopMostWithoutFocus(QWidget&, const QRect&) override {}
    bool setScreenSaverRunning(bool) override { return false; }
    std::optional<QRect> clientRect(platform::NativeWindow) override { return std::nullopt; }
    void embed(QWidget&, platform::NativeWindow, const QRect&) override {}
};

// A 24-megapixel photo-like picture: gradients and fine detail, so the JPEG is realistic.
QImage photo() {
    QImage image(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 6000, 4000);
    gradient.setColorAt(0, QColor(20, 60, 140));
    gradient.setColorAt(0.5, QColor(220, 160, 60));
    gradient.setColorAt(1, QColor(30, 120, 50));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 4000; ++i) {
        painter.setPen(QColor::fromHsv((i * 37) % 360, 200, 230));
        painter.drawEllipse(QPoint((i * 7919) % 6000, (i * 104729) % 4000), 20 + i % 90,
                            10 + i % 50);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double watchSeconds = argc > 1 ? QString(argv[1]).toDouble() : 10.0;

    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    if (!photo().save(path, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    // Baseline: the decode as it would block the user-interface thread.
    QElapsedTimer clock;
    clock.start();
    const display::DecodedPicture decoded = display::decodePicture(path);
    const double syncDecodeMs = clock.nsecsElapsed() / 1e6;
    if (!decoded.ok()) {
        std::fprintf(stderr, "cannot decode: %s\n", qPrintable(decoded.error));
        return 1;
    }

    MemoryStore store;
    store.write("SetReg", "2");
    store.write("BG", "1");
    store.write("Music", "0");
    settings::writePictureList(dir.filePath("List.txt"), {path});
    NoCursor cursor;
    NoWindows windows;
    platform::SystemClock systemClock;
    music::NoMusicPlayer player;
    display::frmMain form(display::DisplayServices{store, cursor, windows, systemClock, player,
                                                   dir.path() + "/", QSize(1920, 1080), [] {}});
    form.Form_Load();

    // A 1 ms timer records the longest wait between two of its ticks: the time the event
    // loop went unserved.
    QElapsedTimer sinceTick;
    double longestLoadGapMs = 0;
    double longestPaintGapMs = 0;
    double loadMs = 0;
    bool painting = false;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        sinceTick.start();
        if (!painting && form.painter().running()) {
            painting = true;
            loadMs = clock.nsecsElapsed() / 1e6;
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
    std::printf("24-megapixel JPEG (6000 x 4000) centred on a 1920 x 1080 screen\n");
    std::printf("  decode on the UI thread (baseline):  %8.1f ms unserved\n", syncDecodeMs);
    std::printf("  load off the UI thread:              %8.1f ms, longest gap %6.1f ms\n", loadMs,
                longestLoadGapMs);
    std::printf("  painting: %d of %d columns in %.0f ms (%.2f ms a column), longest gap %.1f ms\n",
                columns, form.painter().stepCount(), paintedMs, perColumnMs, longestPaintGapMs);
    std::printf("  longest gap / baseline decode:       %8.3f\n",
                std::max(longestLoadGapMs, longestPaintGapMs) / syncDecodeMs);
    std::printf("  longest gap / 50 ms aim:             %8.3f\n",
                std::max(longestLoadGapMs, longestPaintGapMs) / 50.0);
    return 0;
}
