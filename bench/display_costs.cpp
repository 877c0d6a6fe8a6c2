// SPDX-License-Identifier: GPL-3.0-or-later
// Measures what the real full-screen display costs, each figure side by side with its floor in
// one run:
//   - peak memory (VmHWM) idle after a 640 x 480 picture, with "Music" 0 and 1;
//   - idle CPU with music on (no sound device: the music renders silently), against a bare
//     FluidSynth synthesiser rendering the same tune in real time in this process, at the
//     same time;
//   - memory (VmRSS) between two paintings after three 6000 x 4000 photos, against a one-entry
//     list of such a photo: one decoded picture plus the canvas;
//   - the time from the start of the process to the first beam on the screen, against a bare
//     program that decodes the same picture and shows an empty full-screen window (this
//     executable, started with --bare-window), at 640 x 480, 1920 x 1080, 12 and 24 megapixels;
//   - the same for a 12-megapixel photo as HEIC (a photo of Debian's mate-backgrounds package,
//     tinted, converted with heif-enc), the bare program decoding it with libheif alone, and
//     beside it the same photo as a JPEG; with the display's VmHWM at its first beam for each.
//
// Usage: display_costs [--samples N] [--assets DIR] [--only mcrbh] BINARY
//
// The display is the one named by DISPLAY; without one, a private Xvfb of 1920 x 1080 is
// started. The pictures are magenta-tinted photos, so that the first beam and the bare
// window show as magenta in the middle of the screen, where every first beam passes.

#include <fluidsynth.h>
#include <time.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "BareHeifDecode.h"
#include "DisplayRun.h"
#include "linux/display/PictureLoader.h"
#include "linux/music/FluidSynthHandles.h"
#include "linux/music/FluidSynthPlayer.h"

namespace {

using namespace bench;

constexpr QRgb kMagenta = 0xffd010d0u;

// A photo-like picture tinted magenta: fine noise on a strong red and blue, so that the JPEG
// is of a realistic size and decode time, and every pixel reads as magenta.
bool makePhoto(const QString& path, QSize size, int seed) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(48));
            line[x] = qRgb(190 + noise, noise, 190 + ((x + y) / 16 + noise) % 64);
        }
    }
    return image.save(path, "JPEG", 90);
}

bool looksMagenta(quint8 blue, quint8 green, quint8 red) {
    return red > 150 && blue > 150 && green < 110;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The X server, watched for magenta in the middle of its screen.
class Screen {
public:
    bool open() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "display_costs: cannot connect to the X server\n");
            return false;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        root_ = screen->root;
        centre_ = QPoint(screen->width_in_pixels / 2, screen->height_in_pixels / 2);
        return true;
    }
    ~Screen() {
        if (connection_) {
            xcb_disconnect(connection_);
        }
    }

    // True when a pixel of the 9 x 9 square in the middle of the screen is magenta.
    bool showsMagenta() {
        constexpr int kSide = 9;
        auto* reply = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                          static_cast<int16_t>(centre_.x() - kSide / 2),
                          static_cast<int16_t>(centre_.y() - kSide / 2), kSide, kSide, ~0u),
            nullptr);
        if (!reply) {
            return false;
        }
        const uint8_t* data = xcb_get_image_data(reply);
        const int length = xcb_get_image_data_length(reply);
        bool found = false;
        for (int at = 0; at + 3 < length && !found; at += 4) {
            found = looksMagenta(data[at], data[at + 1], data[at + 2]);
        }
        std::free(reply);
        return found;
    }

    // Milliseconds from `start` until magenta shows, or a negative value after `limitSeconds`.
    double waitForMagenta(Clock::time_point start, double limitSeconds) {
        while (secondsSince(start) < limitSeconds) {
            if (showsMagenta()) {
                return secondsSince(start) * 1000;
            }
            sleepFor(0.0005);
        }
        return -1;
    }

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    QPoint centre_;
};

// --- The floor of the first beam: a bare decode and an empty full-screen window. ---

class MagentaWindow final : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter(this).fillRect(event->rect(), QColor::fromRgb(kMagenta));
    }
};

int bareWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QByteArray(argv[2]).endsWith(".heic")) {
        if (!lumi::bench::bareHeifDecode(argv[2])) {
            return 1;
        }
    } else if (!lumi::display::decodePicture(argv[2]).ok()) {
        return 1;
    }
    MagentaWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    window.setGeometry(QGuiApplication::primaryScreen()->geometry());
    window.show();
    return QApplication::exec();
}

// --- A bare synthesiser: the same tune rendered in real time, nothing heard. ---

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Renders `tune` with FluidSynth's defaults in blocks of 1024 frames at real-time pace for
// `seconds`, starting it again whenever it ends; returns the CPU share of a core it took.
double bareSynthesiser(const QString& tune, double seconds) {
    using namespace lumi::music;
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    FluidSettingsPtr settings(new_fluid_settings());
    fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    FluidSynthPtr synth(new_fluid_synth(settings.get()));
    if (fluid_synth_sfload(synth.get(), FluidSynthPlayer::kDefaultSoundFontPath, 1) ==
        FLUID_FAILED) {
        return NAN;
    }
    const QByteArray path = QFile::encodeName(tune);
    const auto newPlayer = [&] {
        FluidPlayerPtr player(new_fluid_player(synth.get()));
        fluid_player_add(player.get(), path.constData());
        fluid_player_play(player.get());
        return player;
    };
    FluidPlayerPtr player = newPlayer();
    constexpr int kFrames = 1024;
    std::vector<float> left(kFrames);
    std::vector<float> right(kFrames);
    const auto block = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kFrames / 44100.0));
    const double cpuStart = threadCpuSeconds();
    const auto start = Clock::now();
    auto due = start;
    while (secondsSince(start) < seconds) {
        if (fluid_player_get_status(player.get()) != FLUID_PLAYER_PLAYING) {
            player.reset();
            player = newPlayer();
        }
        fluid_synth_write_float(synth.get(), kFrames, left.data(), 0, 1, right.data(), 0, 1);
        due += block;
        std::this_thread::sleep_until(due);
    }
    return (threadCpuSeconds() - cpuStart) / secondsSince(start);
}

// --- The figures. ---

struct Pictures {
    QString small;                  // 640 x 480
    std::vector<QString> firstBeam;  // the sizes of the first-beam figure, small first
    std::vector<QString> large;      // three different 6000 x 4000 photos
};

void memoryFigures(const QString& binary, const DisplaySetup& base, const QString& small) {
    std::printf("\nVmHWM idle after a 640 x 480 picture (MB)\n");
    double hwm[2] = {NAN, NAN};
    for (const bool music : {false, true}) {
        DisplaySetup setup = base;
        setup.pictures = {small};
        setup.music = music;
        DisplayRun run(binary, setup);
        if (!run.start() || !run.waitUntilShown(20) || !run.waitForQuiet(false, 0.4, 30)) {
            continue;
        }
        if (music) {
            sleepFor(5);  // the first tune starts at the first TimerMIDI tick and gets going
        }
        hwm[music ? 1 : 0] = statusKilobytes(run.pid(), "VmHWM:") / 1024.0;
    }
    std::printf("  Music 0: %6.1f   Music 1: %6.1f   music costs %6.1f   limit for Music 1: 80\n",
                hwm[0], hwm[1], hwm[1] - hwm[0]);
}

void idleCpuFigures(const QString& binary, const DisplaySetup& base, const QString& small) {
    constexpr double kSeconds = 20;
    std::printf("\nidle CPU with music on, %g s, %% of a core (no sound device)\n", kSeconds);
    DisplaySetup setup = base;
    setup.pictures = {small};
    setup.music = true;
    DisplayRun run(binary, setup);
    if (!run.start() || !run.waitUntilShown(20) || !run.waitForQuiet(false, 0.4, 30)) {
        std::printf("  the display did not come up\n");
        return;
    }
    sleepFor(3);  // the first tune is playing
    double bare = NAN;
    const long ticksBefore = cpuTicks(run.pid(), 0);
    const auto start = Clock::now();
    std::thread synthesiser([&] { bare = bareSynthesiser(base.assets + "/1.mid", kSeconds); });
    synthesiser.join();
    const long ticks = cpuTicks(run.pid(), 0) - ticksBefore;
    const double display = ticks / static_cast<double>(sysconf(_SC_CLK_TCK)) / secondsSince(start);
    std::printf("  display: %5.2f   bare synthesiser, same tune: %5.2f   ratio %5.2f   limit 1.00\n",
                display * 100, bare * 100, display / bare);
}

void heldPictureFigures(const QString& binary, const DisplaySetup& base,
                        const std::vector<QString>& large) {
    std::printf("\nVmRSS between paintings, 6000 x 4000 photos (MB)\n");
    const auto rssAfter = [&](const QStringList& pictures, int paintings) -> double {
        DisplaySetup setup = base;
        setup.pictures = pictures;
        setup.delay = 4;
        DisplayRun run(binary, setup);
        if (!run.start() || !run.waitUntilShown(20)) {
            return NAN;
        }
        for (int painting = 0; painting < paintings; ++painting) {
            if (!run.waitForQuiet(true, 0.3, 120) ||
                !run.waitForQuiet(false, 1.0, 300, /*wholeProcess=*/true)) {
                return NAN;
            }
        }
        return statusKilobytes(run.pid(), "VmRSS:") / 1024.0;
    };
    const double three = rssAfter({large[0], large[1], large[2]}, 3);
    const double one = rssAfter({large[0]}, 1);
    std::printf("  after three pictures: %6.1f   one picture + canvas: %6.1f   difference %6.1f"
                " = %4.2f pictures\n",
                three, one, three - one, (three - one) / (6000.0 * 4000 * 4 / 1048576));
}

void firstBeamFigures(const QString& binary, const DisplaySetup& base,
                      const std::vector<QString>& pictures, Screen& screen, int samples) {
    std::printf("\nfirst beam, ms from the start of the process (median of %d)\n", samples);
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    for (const QString& picture : pictures) {
        std::vector<double> display;
        std::vector<double> floor;
        std::vector<double> peak;
        for (int sample = 0; sample < samples; ++sample) {
            {
                DisplaySetup setup = base;
                setup.pictures = {picture};
                DisplayRun run(binary, setup);
                if (run.start()) {
                    const double ms = screen.waitForMagenta(run.started(), 20);
                    if (ms >= 0) {
                        display.push_back(ms);
                        peak.push_back(statusKilobytes(run.pid(), "VmHWM:") / 1024.0);
                    }
                }
            }
            sleepFor(0.2);  // the killed window is gone
            const QByteArray file = QFile::encodeName(picture);
            const auto start = Clock::now();
            const pid_t bare = fork();
            if (bare == 0) {
                const int devNull = ::open("/dev/null", O_WRONLY);
                dup2(devNull, 2);
                execl(self.constData(), self.constData(), "--bare-window", file.constData(),
                      static_cast<char*>(nullptr));
                _exit(127);
            }
            const double ms = screen.waitForMagenta(start, 20);
            if (ms >= 0) {
                floor.push_back(ms);
            }
            kill(bare, SIGKILL);
            waitpid(bare, nullptr, 0);
            sleepFor(0.2);
        }
        std::printf("  %-16s display %7.1f   bare decode + empty window %7.1f   ratio %5.2f"
                    "   limit 1.30   display VmHWM %6.1f MB\n",
                    qPrintable(QFileInfo(picture).fileName()), median(display), median(floor),
                    median(display) / median(floor), median(peak));
    }
}

// The middle 4032 x 3024 of a real photo, tinted magenta (with its detail kept) so that its
// first beam shows, as a JPEG and as a HEIC; false when the photo or heif-enc is missing.
bool makeHeifPair(const QString& source, const QString& jpeg, const QString& heic) {
    const QSize size(4032, 3024);
    QImage photo(source);
    if (photo.isNull()) {
        return false;
    }
    photo = photo.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                .copy(QRect(QPoint(0, 0), size))
                .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(160 + qRed(p) * 95 / 255, qGreen(p) * 100 / 255,
                           160 + qBlue(p) * 95 / 255);
        }
    }
    return photo.save(jpeg, "JPEG", 90) &&
           QProcess::execute("heif-enc", {"-q", "80", "-o", heic, jpeg}) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--bare-window") {
        return bareWindow(argc, argv);
    }
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    int samples = 5;
    QString only = QStringLiteral("mcrbh");
    DisplaySetup base;
    base.assets = QStringLiteral(LUMI_ASSETS_DIR);
    QString binary;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--samples" && i + 1 < args.size()) {
            samples = std::max(1, args[++i].toInt());
        } else if (args[i] == "--assets" && i + 1 < args.size()) {
            base.assets = args[++i];
        } else if (args[i] == "--only" && i + 1 < args.size()) {
            only = args[++i];
        } else {
            binary = QFileInfo(args[i]).absoluteFilePath();
        }
    }
    if (binary.isEmpty()) {
        std::fprintf(stderr,
                     "usage: display_costs [--samples N] [--assets DIR] [--only mcrbh] BINARY\n");
        return 2;
    }
    const pid_t xvfb = startXvfbUnlessDisplay();
    if (xvfb < 0) {
        return 1;
    }
    Screen screen;
    if (!screen.open()) {
        return 1;
    }

    QTemporaryDir dir;
    Pictures pictures;
    const QSize sizes[] = {{640, 480}, {1920, 1080}, {4032, 3024}, {6000, 4000}};
    for (const QSize size : sizes) {
        const QString path = dir.filePath(QStringLiteral("%1x%2.jpg").arg(size.width()).arg(size.height()));
        if (!makePhoto(path, size, 1)) {
            std::fprintf(stderr, "display_costs: cannot write %s\n", qPrintable(path));
            return 1;
        }
        pictures.firstBeam.push_back(path);
    }
    pictures.small = pictures.firstBeam.front();
    pictures.large = {pictures.firstBeam.back()};
    for (int seed = 2; seed <= 3; ++seed) {
        const QString path = dir.filePath(QStringLiteral("large-%1.jpg").arg(seed));
        makePhoto(path, QSize(6000, 4000), seed);
        pictures.large.push_back(path);
    }
    std::printf("display %s, %s\n", qgetenv("DISPLAY").constData(), qPrintable(binary));

    if (only.contains('m')) {
        memoryFigures(binary, base, pictures.small);
    }
    if (only.contains('c')) {
        idleCpuFigures(binary, base, pictures.small);
    }
    if (only.contains('r')) {
        heldPictureFigures(binary, base, pictures.large);
    }
    if (only.contains('b')) {
        firstBeamFigures(binary, base, pictures.firstBeam, screen, samples);
    }
    if (only.contains('h')) {
        const QString jpeg = dir.filePath(QStringLiteral("elephants.jpg"));
        const QString heic = dir.filePath(QStringLiteral("elephants.heic"));
        if (makeHeifPair(QStringLiteral(
                             "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg"),
                         jpeg, heic)) {
            std::printf("\n4032 x 3024 photo as HEIC and as JPEG:");
            firstBeamFigures(binary, base, {heic, jpeg}, screen, samples);
        } else {
            std::fprintf(stderr, "display_costs: no HEIC figures: needs mate-backgrounds and "
                                 "heif-enc (libheif-examples)\n");
        }
    }
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
