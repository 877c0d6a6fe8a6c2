// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the benchmarks that start the real full-screen display in an X server: one start
// of the display with its own settings, install and runtime folders, and the figures that
// /proc gives about a process.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// CPU time of one thread (or of the whole process when tid is 0), in clock ticks; -1 once the
// process is gone.
inline long cpuTicks(pid_t pid, pid_t tid) {
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

// A figure of /proc/PID/status in kilobytes ("VmHWM:", "VmRSS:"); -1 when unknown.
inline long statusKilobytes(pid_t pid, const char* key) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Starts a private Xvfb of 1920 x 1080 with a black root window and points DISPLAY at it,
// unless DISPLAY names a server already. Returns the server's process, or 0 when none was
// started, or -1 on failure.
inline pid_t startXvfbUnlessDisplay() {
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        return 0;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        const int devNull = ::open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-br",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[16] = {};
    const ssize_t got = read(fds[0], number, sizeof number - 1);
    close(fds[0]);
    if (got <= 0) {
        std::fprintf(stderr, "cannot start Xvfb\n");
        return -1;
    }
    qputenv("DISPLAY", ":" + QByteArray(number).trimmed());
    return xvfb;
}

// What a display run is given.
struct DisplaySetup {
    QStringList pictures;  // the picture list, in order
    bool music = false;
    int delay = 300;  // seconds
    QString assets;   // the build's assets folder, which holds the tunes
};

// One start of the real display, killed when the object goes.
class DisplayRun {
public:
    DisplayRun(const QString& binary, const DisplaySetup& setup) : binary_(binary) {
        const QString root = dir_.path();
        const QString install = root + "/data/Corvanta/Lumiscribe";
        QDir().mkpath(install);
        QDir().mkpath(root + "/config");
        QDir().mkpath(root + "/runtime");
        QFile::setPermissions(root + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (int tune = 1; tune <= 10; ++tune) {
            QFile::copy(QStringLiteral("%1/%2.mid").arg(setup.assets).arg(tune),
                        QStringLiteral("%1/%2.mid").arg(install).arg(tune));
        }
        QFile list(install + "/List.txt");
        if (list.open(QIODevice::WriteOnly)) {
            for (const QString& picture : setup.pictures) {
                list.write("\"" + QFile::encodeName(picture) + "\"\r\n");
            }
        }
        QFile settings(root + "/config/Lumiscribe.ini");
        if (settings.open(QIODevice::WriteOnly)) {
            QByteArray text = "[Config]\nSetReg=2\nBG=1\nMouseSen=30000\nCalendar=0\nSoundOff=0\n";
            text += "Delay=" + QByteArray::number(setup.delay) + "\n";
            text += "Music=" + QByteArray(setup.music ? "1" : "0") + "\n";
            for (int tune = 1; tune <= 10; ++tune) {
                text += "MIDI" + QByteArray::number(tune) + "=1\n";
            }
            settings.write(text);
        }
        flag_ = root + "/runtime/lumiscribe/screensaver-running";
    }

    DisplayRun(const DisplayRun&) = delete;
    DisplayRun& operator=(const DisplayRun&) = delete;

    ~DisplayRun() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (pidfd_ >= 0) {
            close(pidfd_);
        }
    }

    bool start() {
        const QByteArray root = QFile::encodeName(dir_.path());
        const QByteArray binary = QFile::encodeName(binary_);
        started_ = Clock::now();
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

    // Waits until the user-interface thread (or, with `wholeProcess`, every thread) has been
    // busy or quiet for `windowSeconds` in a row.
    bool waitForQuiet(bool busy, double windowSeconds, double limitSeconds,
                      bool wholeProcess = false) {
        const pid_t tid = wholeProcess ? 0 : pid_;
        const auto start = Clock::now();
        long last = cpuTicks(pid_, tid);
        auto since = Clock::now();
        while (secondsSince(start) < limitSeconds) {
            sleepFor(0.05);
            const long now = cpuTicks(pid_, tid);
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

    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }
    Clock::time_point shown() const { return shown_; }

    bool exited() const {
        pollfd fd{pidfd_, POLLIN, 0};
        return poll(&fd, 1, 0) == 1;
    }

    // Waits at most `limitSeconds` for the process to end; true when it has.
    bool waitForExit(double limitSeconds) const {
        pollfd fd{pidfd_, POLLIN, 0};
        return poll(&fd, 1, static_cast<int>(limitSeconds * 1000)) == 1;
    }

private:
    QTemporaryDir dir_;
    QString binary_;
    QString flag_;
    pid_t pid_ = -1;
    int pidfd_ = -1;
    Clock::time_point started_;
    Clock::time_point shown_;
};

}  // namespace bench
