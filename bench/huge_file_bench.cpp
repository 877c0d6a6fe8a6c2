// SPDX-License-Identifier: GPL-3.0-or-later
// Measures what a huge file in the picture list costs the real full-screen display: the list
// [a sparse file of 2 GiB named big.jpg, a 640 x 480 photo] against [the photo] alone, with
// "Delay" 1, for several passes through the list. For each binary it prints side by side the
// peak memory of the whole run (VmHWM) and the CPU time of the whole process after the first
// pass, with their ratios. A display that reads the huge file shows it in both: its memory
// rises by the file's size, and its CPU time by one read of the file on every pass.
//
// Usage: huge_file_bench [--samples N] [--first S] [--seconds S] [--gib N] BINARY [BINARY...]
//
//   --samples  runs of each list per binary, the median shown (default 1)
//   --first    seconds from the window's appearance that count as the first pass (default 5)
//   --seconds  seconds of CPU time measured after the first pass (default 20)
//   --gib      size of the sparse file in GiB (default 2)
//
// The display is the one named by DISPLAY; without one, a private Xvfb of 1920 x 1080 is
// started. Binaries are run one after another, each list in turn.

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "DisplayRun.h"

namespace {

using namespace bench;

// A photo-like picture: fine noise over smooth colour, so that its JPEG is of a realistic
// size and decode time.
bool makePhoto(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(40));
            line[x] = qRgb(40 + x * 150 / size.width() + noise, 90 + noise,
                           200 - y * 150 / size.height() + noise);
        }
    }
    return image.save(path, "JPEG", 90);
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    double peakMegabytes = NAN;
    double cpuSeconds = NAN;  // after the first pass
};

// One run of the display with `pictures`: the CPU time from `first` seconds after its window
// appeared for `seconds`, and its peak memory at the end.
Figures runOnce(const QString& binary, const QStringList& pictures, double first,
                double seconds) {
    DisplaySetup setup;
    setup.pictures = pictures;
    setup.delay = 1;
    setup.assets = QStringLiteral(LUMI_ASSETS_DIR);
    DisplayRun run(binary, setup);
    if (!run.start() || !run.waitUntilShown(60)) {
        std::fprintf(stderr, "huge_file_bench: the display did not come up\n");
        return {};
    }
    sleepFor(first);
    const long before = cpuTicks(run.pid(), 0);
    sleepFor(seconds);
    const long after = cpuTicks(run.pid(), 0);
    const long peak = statusKilobytes(run.pid(), "VmHWM:");
    if (before < 0 || after < 0 || peak < 0) {
        std::fprintf(stderr, "huge_file_bench: the display ended by itself\n");
        return {};
    }
    return {peak / 1024.0, (after - before) / static_cast<double>(sysconf(_SC_CLK_TCK))};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    int samples = 1;
    double first = 5;
    double seconds = 20;
    qint64 gib = 2;
    QStringList binaries;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--samples" && i + 1 < args.size()) {
            samples = std::max(1, args[++i].toInt());
        } else if (args[i] == "--first" && i + 1 < args.size()) {
            first = std::max(0.0, args[++i].toDouble());
        } else if (args[i] == "--seconds" && i + 1 < args.size()) {
            seconds = std::max(1.0, args[++i].toDouble());
        } else if (args[i] == "--gib" && i + 1 < args.size()) {
            gib = std::max<qint64>(1, args[++i].toLongLong());
        } else {
            binaries.append(QFileInfo(args[i]).absoluteFilePath());
        }
    }
    if (binaries.isEmpty()) {
        std::fprintf(stderr, "usage: huge_file_bench [--samples N] [--first S] [--seconds S] "
                             "[--gib N] BINARY [BINARY...]\n");
        return 2;
    }
    const pid_t xvfb = startXvfbUnlessDisplay();
    if (xvfb < 0) {
        return 1;
    }

    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    const QString big = dir.filePath(QStringLiteral("big.jpg"));
    QFile sparse(big);
    if (!makePhoto(photo, QSize(640, 480)) || !sparse.open(QIODevice::WriteOnly) ||
        !sparse.resize(gib << 30)) {
        std::fprintf(stderr, "huge_file_bench: cannot write the files in %s\n",
                     qPrintable(dir.path()));
        return 1;
    }
    sparse.close();

    std::printf("display %s; Delay 1; CPU time from %g s after the window appeared, for %g s;"
                " median of %d\n",
                qgetenv("DISPLAY").constData(), first, seconds, samples);
    for (const QString& binary : binaries) {
        std::vector<double> peak[2];
        std::vector<double> cpu[2];
        for (int sample = 0; sample < samples; ++sample) {
            for (const int withBig : {0, 1}) {
                const QStringList pictures = withBig ? QStringList{big, photo} : QStringList{photo};
                const Figures figures = runOnce(binary, pictures, first, seconds);
                peak[withBig].push_back(figures.peakMegabytes);
                cpu[withBig].push_back(figures.cpuSeconds);
            }
        }
        const double peakWithout = median(peak[0]);
        const double peakWith = median(peak[1]);
        const double cpuWithout = median(cpu[0]);
        const double cpuWith = median(cpu[1]);
        std::printf("\n%s\n", qPrintable(binary));
        std::printf("  %-26s %12s %24s\n", "", "VmHWM (MB)", "CPU after first pass (s)");
        std::printf("  %-26s %12.1f %24.2f\n", "photo only", peakWithout, cpuWithout);
        std::printf("  %-26s %12.1f %24.2f\n",
                    qPrintable(QStringLiteral("%1 GiB file + photo").arg(gib)), peakWith, cpuWith);
        std::printf("  %-26s %12.2f %24.2f\n", "ratio", peakWith / peakWithout,
                    cpuWith / cpuWithout);
        std::printf("  %-26s %12.1f %24.2f   limits: 10 MB, idle\n", "difference",
                    peakWith - peakWithout, cpuWith - cpuWithout);
    }
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
