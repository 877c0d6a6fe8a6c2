// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the HEIF decoding path and the photo date against their floors, in one run:
//   - the time to decode a 12-megapixel HEIC photo for the display (decodePicture()), against
//     a bare libheif decode of the same file to interleaved RGBA, and against decodePicture()
//     of the same photo as a JPEG;
//   - the peak memory (VmHWM) of a process that decodes each once: the HEIC for the display,
//     the HEIC bare, and the JPEG;
//   - the cost of reading the EXIF date of the 12-megapixel JPEG (readPhotoDate()), as a
//     share of decoding it.
//
// Usage: heif_bench [--samples N] [SOURCE_PHOTO]
//
// The photo is the middle 4000 x 3000 of SOURCE_PHOTO (by default a photo of Debian's
// mate-backgrounds package), saved as a JPEG of quality 90 with an EXIF block, and converted
// with heif-enc (libheif-examples) at quality 80.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "BareHeifDecode.h"
#include "BenchSupport.h"
#include "linux/display/PhotoDate.h"
#include "linux/display/PictureLoader.h"
#include "support/ExifBlock.h"

namespace {

constexpr char kDefaultSource[] = "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg";
constexpr QSize kPhoto{4000, 3000};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? NAN : values[values.size() / 2];
}

bool decodeOnce(const QString& kind, const QString& path) {
    if (kind == "bare") {
        return lumi::bench::bareHeifDecode(QFile::encodeName(path).constData());
    }
    return lumi::display::decodePicture(path).ok();
}

template <typename Work>
double medianMilliseconds(int samples, Work work) {
    std::vector<double> times;
    for (int i = 0; i < samples; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// VmHWM in MB of a fresh process of this program that decodes `path` once as `kind`.
double peakMegabytes(const QString& kind, const QString& path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--decode", kind, path});
    if (!child.waitForFinished(300'000) || child.exitCode() != 0) {
        return NAN;
    }
    return child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args[0] == "--decode") {
        if (!decodeOnce(args[1], args[2])) {
            return 1;
        }
        std::printf("%s\n", qPrintable(lumi::bench::procStatus("VmHWM:").section(' ', 0, 0)));
        return 0;
    }
    int samples = 5;
    QString source = QString::fromLatin1(kDefaultSource);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--samples" && i + 1 < args.size()) {
            samples = std::max(1, args[++i].toInt());
        } else {
            source = args[i];
        }
    }
    const QImage original(source);
    if (original.isNull()) {
        std::fprintf(stderr, "heif_bench: cannot read %s (apt-get install mate-backgrounds)\n",
                     qPrintable(source));
        return 1;
    }
    const QImage photo = original.size().expandedTo(kPhoto) == original.size()
                             ? original.copy(QRect(QPoint((original.width() - kPhoto.width()) / 2,
                                                          (original.height() - kPhoto.height()) / 2),
                                                   kPhoto))
                             : original.scaled(kPhoto, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.jpg");
    const QString jpeg = dir.filePath("photo.jpg");
    const QString heic = dir.filePath("photo.heic");
    if (!photo.save(plain, "JPEG", 90)) {
        return 1;
    }
    {
        QFile in(plain);
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        const QByteArray app1 =
            QByteArray("Exif\0\0", 6) + lumi::testing::exifBlock("2019:07:14 10:20:30");
        QByteArray segment("\xFF\xE1", 2);
        segment.append(char((app1.size() + 2) >> 8)).append(char((app1.size() + 2) & 0xFF));
        QFile out(jpeg);
        out.open(QIODevice::WriteOnly);
        out.write(bytes.left(2) + segment + app1 + bytes.mid(2));
    }
    if (QProcess::execute("heif-enc", {"-q", "80", "-o", heic, plain}) != 0) {
        std::fprintf(stderr, "heif_bench: heif-enc failed (apt-get install libheif-examples)\n");
        return 1;
    }
    if (!lumi::display::readPhotoDate(jpeg) || !decodeOnce("heic", heic)) {
        std::fprintf(stderr, "heif_bench: the photo does not decode or has no date\n");
        return 1;
    }
    std::printf("%s, middle %d x %d; HEIC %lld KB, JPEG %lld KB; median of %d\n",
                qPrintable(source), kPhoto.width(), kPhoto.height(), QFile(heic).size() / 1024,
                QFile(jpeg).size() / 1024, samples);

    const double bare = medianMilliseconds(
        samples, [&] { lumi::bench::bareHeifDecode(QFile::encodeName(heic).constData()); });
    const double heicDisplay = medianMilliseconds(samples, [&] { decodeOnce("heic", heic); });
    const double jpegDisplay = medianMilliseconds(samples, [&] { decodeOnce("jpeg", jpeg); });
    std::printf("\ndecode, ms\n");
    std::printf("  HEIC for the display %8.1f   bare libheif %8.1f   ratio %5.2f\n", heicDisplay,
                bare, heicDisplay / bare);
    std::printf("  JPEG for the display %8.1f   HEIC / JPEG %5.2f\n", jpegDisplay,
                heicDisplay / jpegDisplay);

    std::printf("\nVmHWM of a process that decodes the photo once, MB\n");
    std::printf("  HEIC for the display %7.1f   bare libheif %7.1f   JPEG for the display %7.1f\n",
                peakMegabytes("heic", heic), peakMegabytes("bare", heic),
                peakMegabytes("jpeg", jpeg));

    const int dateSamples = samples * 20;
    const double date =
        medianMilliseconds(dateSamples, [&] { lumi::display::readPhotoDate(jpeg); });
    std::printf("\nEXIF date of the JPEG (median of %d): %.3f ms = %.3f %% of its decode"
                "   limit 2 %%\n",
                dateSamples, date, 100.0 * date / jpegDisplay);
    return 0;
}
