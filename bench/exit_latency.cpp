// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how long the real full-screen display takes from a key press to the end of its
// process, in three states (idle after a small picture, painting a 6000 x 4000 photo,
// decoding that photo at start-up), each with "Music" 0 and 1, and the peak memory
// (VmHWM) of the process in each case. Several binaries given on the command line are run
// interleaved, sample by sample, so that their figures come from the same conditions and can
// be compared side by side.
//
// Usage: exit_latency [--samples N] [--assets DIR] BINARY [BINARY...]
//
// The key presses go through the X server's test extension, like a real keyboard. The
// display is the one named by DISPLAY; without one, a private Xvfb of 1920 x 1080 is started.
// Every run has its own settings, install and runtime folders; music needs the tunes of the
// build's assets folder and the system's General MIDI SoundFont.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include "DisplayRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

enum class State { Idle, Painting, Decoding };
constexpr State kStates[] = {State::Idle, State::Painting, State::Decoding};

const char* stateName(State state) {
    switch (state) {
        case State::Idle:
            return "idle";
        case State::Painting:
            return "painting";
        case State::Decoding:
            return "decoding";
    }
    return "?";
}

// A photo-like picture: smooth gradients with fine noise, so that the JPEG is of a
// realistic size and takes a realistic time to decode.
bool makePhoto(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(size.width());
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(48));
            line[x] = qRgb((x * 255 / size.width() + noise) & 0xff,
                           (y * 255 / size.height() + noise) & 0xff, ((x + y) / 16 + noise) & 0xff);
        }
    }
    return image.save(path, "JPEG", 90);
}

class XServer {
public:
    // Connects to DISPLAY, or starts a private Xvfb when there is none.
    bool open() {
        xvfb_ = startXvfbUnlessDisplay();
        if (xvfb_ < 0) {
            return false;
        }
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "exit_latency: cannot connect to the X server\n");
            return false;
        }
        return findKeycode();
    }

    ~XServer() {
        if (connection_) {
            xcb_disconnect(connection_);
        }
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
    }

    // Presses and releases the key "x"; returns the moment the press left for the server.
    Clock::time_point pressKey() {
        xcb_test_fake_input(connection_, XCB_KEY_PRESS, keycode_, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        const auto sent = Clock::now();
        xcb_flush(connection_);
        xcb_test_fake_input(connection_, XCB_KEY_RELEASE, keycode_, XCB_CURRENT_TIME, XCB_NONE, 0,
                            0, 0);
        xcb_flush(connection_);
        return sent;
    }

private:
    bool findKeycode() {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        if (!reply) {
            return false;
        }
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        for (int i = 0; i < count * reply->keysyms_per_keycode; ++i) {
            if (keysyms[i] == 'x') {
                keycode_ =
                    static_cast<xcb_keycode_t>(setup->min_keycode + i / reply->keysyms_per_keycode);
                break;
            }
        }
        std::free(reply);
        return keycode_ != 0;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_keycode_t keycode_ = 0;
    pid_t xvfb_ = -1;
};

struct Sample {
    double latencyMs = -1;  // key press to process gone; negative when the run failed
    long vmHwmKb = -1;
};

// Ends `run` with one key press; its peak memory is read just before.
Sample end(DisplayRun& run, XServer& x) {
    Sample sample;
    sample.vmHwmKb = statusKilobytes(run.pid(), "VmHWM:");
    const auto sent = x.pressKey();
    if (run.waitForExit(10)) {
        sample.latencyMs = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
    }
    return sample;
}

double decodeSeconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(path);
    const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
    return image.isNull() ? 1.0 : static_cast<double>(timer.elapsed()) / 1000.0;
}

Sample measure(XServer& x, const QString& binary, const QString& assets, const QString& small,
               const QString& large, double decode, State state, bool music) {
    QRandomGenerator* random = QRandomGenerator::global();
    DisplaySetup setup;
    setup.pictures = {state == State::Idle ? small : large};
    setup.music = music;
    setup.assets = assets;
    DisplayRun run(binary, setup);
    if (!run.start() || !run.waitUntilShown(20)) {
        return {};
    }
    switch (state) {
        case State::Idle:
            // The small picture paints in well under a second; then nothing runs.
            if (!run.waitForQuiet(false, 0.4, 20)) {
                return {};
            }
            sleepFor(random->bounded(0.3));
            break;
        case State::Painting:
            if (!run.waitForQuiet(true, 0.15, 30)) {
                return {};
            }
            sleepFor(random->bounded(0.5));
            break;
        case State::Decoding: {
            // Somewhere in the first two thirds of the decode that starts with the window.
            const double at = decode * (0.05 + random->bounded(0.6));
            sleepFor(std::max(0.0, at - secondsSince(run.shown())));
            break;
        }
    }
    return end(run, x);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int samples = 8;
    QString assets = QStringLiteral(LUMI_ASSETS_DIR);
    QStringList binaries;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--samples" && i + 1 < args.size()) {
            samples = std::max(1, args[++i].toInt());
        } else if (args[i] == "--assets" && i + 1 < args.size()) {
            assets = args[++i];
        } else {
            binaries.append(QFileInfo(args[i]).absoluteFilePath());
        }
    }
    if (binaries.isEmpty()) {
        std::fprintf(stderr,
                     "usage: exit_latency [--samples N] [--assets DIR] BINARY [BINARY...]\n");
        return 2;
    }
    XServer x;
    if (!x.open()) {
        return 1;
    }
    QTemporaryDir pictures;
    const QString small = pictures.filePath("small.jpg");
    const QString large = pictures.filePath("large.jpg");
    if (!makePhoto(small, QSize(640, 480)) || !makePhoto(large, QSize(6000, 4000))) {
        std::fprintf(stderr, "exit_latency: cannot write the test pictures\n");
        return 1;
    }
    const double decode = decodeSeconds(large);
    std::printf("display %s, %d samples per case, 6000x4000 decode here %.0f ms\n",
                qgetenv("DISPLAY").constData(), samples, decode * 1000);

    // results[binary][state][music]
    std::map<int, std::map<State, std::map<bool, std::vector<Sample>>>> results;
    for (int sample = 0; sample < samples; ++sample) {
        for (const State state : kStates) {
            for (const bool music : {false, true}) {
                for (int b = 0; b < binaries.size(); ++b) {
                    results[b][state][music].push_back(
                        measure(x, binaries[b], assets, small, large, decode, state, music));
                }
            }
        }
        std::fprintf(stderr, "sample %d of %d done\n", sample + 1, samples);
    }

    std::printf("\ninput to process gone, ms (p99 of %d samples is their maximum)\n", samples);
    std::printf("%-9s %-7s", "state", "binary");
    for (const char* music : {"Music 0", "Music 1"}) {
        std::printf("  %s p50   p99 fail  VmHWM MB", music);
    }
    std::printf("\n");
    for (const State state : kStates) {
        for (int b = 0; b < binaries.size(); ++b) {
            std::printf("%-9s #%-6d", stateName(state), b + 1);
            for (const bool music : {false, true}) {
                std::vector<double> latencies;
                std::vector<double> memory;
                int failures = 0;
                for (const Sample& s : results[b][state][music]) {
                    if (s.latencyMs < 0) {
                        ++failures;
                        continue;
                    }
                    latencies.push_back(s.latencyMs);
                    memory.push_back(static_cast<double>(s.vmHwmKb) / 1024.0);
                }
                std::printf("  %11.1f %5.1f %4d %9.0f", percentile(latencies, 50),
                            percentile(latencies, 99), failures, percentile(memory, 50));
            }
            std::printf("\n");
        }
    }
    for (int b = 0; b < binaries.size(); ++b) {
        std::printf("#%d %s\n", b + 1, qPrintable(binaries[b]));
    }
    return 0;
}
