// SPDX-License-Identifier: GPL-3.0-or-later
// Time to the first beam and peak memory (VmHWM) of the display for a 6000 x 4000 JPEG on a
// 1920 x 1080 screen, with "FitLarge" 1 (decoded at a reduced size, shrunk to 1620 x 1080)
// against 0 (decoded whole, shown 1:1), measured side by side in one run.
//
// Usage: fit_large_bench
// Each setting runs in a process of its own (this program started again with "child"), so
// that one peak cannot hide the other.

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "BenchSupport.h"
#include "linux/display/DisplayWindow.h"
#include "music/NoMusicPlayer.h"
#include "linux/platform/Clock.h"
#include "linux/settings/PictureList.h"

namespace {

using namespace lumi;

constexpr QSize kScreen(1920, 1080);
constexpr QSize kPhoto(6000, 4000);

// Shows the list of `installDir` with "FitLarge" `fitLarge`; prints the milliseconds from
// Form_Activate() to the first beam, the picture's size and VmHWM before and after.
int child(const QString& installDir, const QString& fitLarge) {
    bench::MemoryStore store;
    store.write("SetReg", "2");
    store.write("BG", "1");
    store.write("Music", "0");
    store.write("Calendar", "0");
    store.write("FitLarge", fitLarge.toStdString());
    bench::NoCursor cursor;
    bench::NoWindows windows(QRect(QPoint(0, 0), kScreen));
    platform::SystemClock clock;
    music::NoMusicPlayer player;
    display::DisplayWindow window(display::DisplayServices{store, cursor, windows, clock, player,
                                                   installDir, kScreen, [] {}});
    display::frmMain& form = window.form;
    form.Form_Load();
    window.setGeometry(QRect(QPoint(0, 0), kScreen));
    window.show();
    const QString hwmBefore = bench::procStatus("VmHWM:");

    QElapsedTimer sinceActivate;
    double firstBeamMs = -1;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (form.painter().coloredBeams() > 0) {
            firstBeamMs = sinceActivate.nsecsElapsed() / 1e6;
            QCoreApplication::exit(0);
        } else if (sinceActivate.elapsed() > 60'000) {
            QCoreApplication::exit(1);
        }
    });
    sinceActivate.start();
    probe.start();
    form.Form_Activate();
    const int status = QApplication::exec();
    std::printf("%.1f %dx%d %s|%s\n", firstBeamMs, form.Picture1.pixels.width, form.Picture1.pixels.height,
                qPrintable(hwmBefore), qPrintable(bench::procStatus("VmHWM:")));
    return status;
}

struct Figures {
    double firstBeamMs = 0;
    QString size;
    QString hwmBefore;
    QString hwm;
};

Figures runChild(const QString& installDir, const char* fitLarge) {
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {"child", installDir, fitLarge});
    if (!process.waitForFinished(120'000) || process.exitCode() != 0) {
        std::fprintf(stderr, "the run with FitLarge %s failed: %s\n", fitLarge,
                     process.readAllStandardError().constData());
        std::exit(1);
    }
    const QString line = QString::fromLatin1(process.readAllStandardOutput()).trimmed();
    const QStringList fields = line.section('|', 0, 0).split(' ');
    return {fields.value(0).toDouble(), fields.value(1), fields.mid(2).join(' '),
            line.section('|', 1)};
}

double kilobytes(const QString& status) {
    return status.section(' ', 0, 0).toDouble();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && QString(argv[1]) == "child") {
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    if (!bench::photo(kPhoto).save(path, "JPEG", 90) ||
        settings::writePictureList(dir.filePath("List.txt"), {path})) {
        std::fprintf(stderr, "cannot write the test files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    const Figures whole = runChild(dir.path() + "/", "0");
    const Figures shrunk = runChild(dir.path() + "/", "1");
    std::printf("%d x %d JPEG on a %d x %d screen, one process each\n", kPhoto.width(),
                kPhoto.height(), kScreen.width(), kScreen.height());
    std::printf("  FitLarge 0: picture %-10s first beam %8.1f ms   VmHWM %s (before it %s)\n",
                qPrintable(whole.size), whole.firstBeamMs, qPrintable(whole.hwm),
                qPrintable(whole.hwmBefore));
    std::printf("  FitLarge 1: picture %-10s first beam %8.1f ms   VmHWM %s (before it %s)\n",
                qPrintable(shrunk.size), shrunk.firstBeamMs, qPrintable(shrunk.hwm),
                qPrintable(shrunk.hwmBefore));
    std::printf(
        "  FitLarge 1 / FitLarge 0: first beam %.3f, VmHWM %.3f, VmHWM above the start "
        "%.3f\n",
        shrunk.firstBeamMs / whole.firstBeamMs, kilobytes(shrunk.hwm) / kilobytes(whole.hwm),
        (kilobytes(shrunk.hwm) - kilobytes(shrunk.hwmBefore)) /
            (kilobytes(whole.hwm) - kilobytes(whole.hwmBefore)));
    return 0;
}
