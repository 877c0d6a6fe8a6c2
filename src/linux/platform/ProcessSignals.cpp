// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QString>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

#include "linux/platform/RuntimeFolder.h"

namespace lumi::platform {
namespace {

// The write end of the pipe from the signal handler to the event loop. A signal handler can
// reach nothing else, so this one descriptor is process-wide by necessity.
int signalWriteEnd = -1;

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
}

class FlockLock final : public ExclusiveLock {
public:
    explicit FlockLock(int fd) : fd_(fd) {}
    ~FlockLock() override { ::close(fd_); }
    FlockLock(const FlockLock&) = delete;
    FlockLock& operator=(const FlockLock&) = delete;

private:
    int fd_;
};

}  // namespace

void onTerminationRequest(QObject* context, std::function<void()> handler) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    signalWriteEnd = ends[0];
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [notifier, handler = std::move(handler)] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t read =
                             ::read(static_cast<int>(notifier->socket()), &byte, 1);
                         handler();
                     });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

std::unique_ptr<ExclusiveLock> tryTakeExclusiveLock(const char* name, QString* problem) {
    const QString file = runtimeFolder() + "/" + name + ".lock";
    const QByteArray path = QFile::encodeName(file);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (problem != nullptr) {
            *problem = QStringLiteral("cannot create the lock %1: %2")
                           .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
        }
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FlockLock>(fd);
}

}  // namespace lumi::platform
