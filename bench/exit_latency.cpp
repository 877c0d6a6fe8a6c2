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

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
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

// CPU time of one thread (or of the whole process when tid is 0), in clock ticks.
long cpuTicks(pid_t pid, pid_t tid) {
    const QString path = tid == 0 ? QStringLiteral("/proc/%1/stat").arg(pid)
                                  : QStringLiteral("/proc/%1/task/%2/stat").arg(pid).arg(tid);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = file.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // After the name: state is field 0; utime and stime are fields 11 and 12.
    return fields.size() > 12 ? fields[11].toLong() + fields[12].toLong() : -1;
}

long vmHwmKilobytes(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

class XServer {
public:
    // Connects to DISPLAY, or starts a private Xvfb when there is none.
    bool open() {
        if (qEnvironmentVariableIsEmpty("DISPLAY") && !startXvfb()) {
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
    bool startXvfb() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        xvfb_ = fork();
        if (xvfb_ == 0) {
            close(fds[0]);
            const int devNull = ::open("/dev/null", O_WRONLY);
            dup2(devNull, 1);
            dup2(devNull, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        const ssize_t got = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (got <= 0) {
            std::fprintf(stderr, "exit_latency: cannot start Xvfb\n");
            return false;
        }
        qputenv("DISPLAY", ":" + QByteArray(number).trimmed());
        return true;
    }

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

// One start of the display, ended by one key press in `state`.
class Run {
public:
    Run(const QString& binary, const QString& assets, const QString& picture, bool music)
        : binary_(binary) {
        const QString root = dir_.path();
        const QString install = root + "/data/Corvanta/Lumiscribe";
        QDir().mkpath(install);
        QDir().mkpath(root + "/config");
        QDir().mkpath(root + "/runtime");
        QFile::setPermissions(root + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (int tune = 1; tune <= 10; ++tune) {
            QFile::copy(QStringLiteral("%1/%2.mid").arg(assets).arg(tune),
                        QStringLiteral("%1/%2.mid").arg(install).arg(tune));
        }
        QFile list(install + "/List.txt");
        if (list.open(QIODevice::WriteOnly)) {
            list.write("\"" + QFile::encodeName(picture) + "\"\r\n");
        }
        QFile settings(root + "/config/Lumiscribe.ini");
        if (settings.open(QIODevice::WriteOnly)) {
            QByteArray text =
                "[Config]\nSetReg=2\nBG=1\nDelay=300\nMouseSen=30000\nCalendar=0\n"
                "SoundOff=0\nMusic=" +
                QByteArray(music ? "1" : "0") + "\n";
            for (int tune = 1; tune <= 10; ++tune) {
                text += "MIDI" + QByteArray::number(tune) + "=1\n";
            }
            settings.write(text);
        }
        flag_ = root + "/runtime/lumiscribe/screensaver-running";
    }

    bool start() {
        const QByteArray root = QFile::encodeName(dir_.path());
        const QByteArray binary = QFile::encodeName(binary_);
        pid_ = fork();
        if (pid_ == 0) {
            setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
            setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
            setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
            const int devNull = ::open("/dev/null", O_WRONLY);
            dup2(devNull, 1);
            dup2(devNull, 2);
            execl(binary.constData(), binary.constData(), "/s", static_cast<char*>(nullptr));
            _exit(127);
        }
        pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
        return pid_ > 0 && pidfd_ >= 0;
    }

    // Waits until the display has marked the screen saver as running, that is, until its
    // window is up and the first picture is being loaded.
    bool waitUntilShown(double limitSeconds) {
        const auto start = Clock::now();
        while (secondsSince(start) < limitSeconds) {
            QFile file(flag_);
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == "1") {
                shown_ = Clock::now();
                return true;
            }
            if (exited()) {
                return false;
            }
            sleepFor(0.002);
        }
        return false;
    }

    // Waits until the user-interface thread has been busy (painting) or quiet (idle) for
    // `windowSeconds` in a row.
    bool waitForMainThread(bool busy, double windowSeconds, double limitSeconds) {
        const auto start = Clock::now();
        long last = cpuTicks(pid_, pid_);
        auto since = Clock::now();
        while (secondsSince(start) < limitSeconds) {
            sleepFor(0.05);
            const long now = cpuTicks(pid_, pid_);
            if (now < 0) {
                return false;
            }
            // A busy thread gains about 5 ticks per 50 ms; a quiet one none.
            const bool isBusy = now - last >= 3;
            last = now;
            if (isBusy != busy) {
                since = Clock::now();
            } else if (secondsSince(since) >= windowSeconds) {
                return true;
            }
        }
        return false;
    }

    Clock::time_point shown() const { return shown_; }

    Sample end(XServer& x) {
        Sample sample;
        sample.vmHwmKb = vmHwmKilobytes(pid_);
        const auto sent = x.pressKey();
        pollfd fd{pidfd_, POLLIN, 0};
        if (poll(&fd, 1, 10000) == 1) {
            sample.latencyMs =
                std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
        }
        return sample;
    }

    ~Run() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (pidfd_ >= 0) {
            close(pidfd_);
        }
    }

private:
    bool exited() {
        pollfd fd{pidfd_, POLLIN, 0};
        return poll(&fd, 1, 0) == 1;
    }

    QTemporaryDir dir_;
    QString binary_;
    QString flag_;
    pid_t pid_ = -1;
    int pidfd_ = -1;
    Clock::time_point shown_;
};

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
    Run run(binary, assets, state == State::Idle ? small : large, music);
    if (!run.start() || !run.waitUntilShown(20)) {
        return {};
    }
    switch (state) {
        case State::Idle:
            // The small picture paints in well under a second; then nothing runs.
            if (!run.waitForMainThread(false, 0.4, 20)) {
                return {};
            }
            sleepFor(random->bounded(0.3));
            break;
        case State::Painting:
            if (!run.waitForMainThread(true, 0.15, 30)) {
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
    return run.end(x);
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
