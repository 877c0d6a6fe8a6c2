// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Stand-ins for a user's sound servers: the environment that names them and a socket where
// one would listen.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace lumi::testing {

// The environment of a user whose run-time folder is `runtime` and whose environment names no
// sound server, for as long as it lives; the previous environment comes back afterwards, also
// for a server that the test names meanwhile.
class SoundEnvironment {
public:
    explicit SoundEnvironment(const QString& runtime) {
        for (const char* name : kNames) {
            saved_.append(qgetenv(name));
            qunsetenv(name);
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    ~SoundEnvironment() {
        for (int i = 0; i < int(std::size(kNames)); ++i) {
            qunsetenv(kNames[i]);
            if (!saved_[i].isNull()) {
                qputenv(kNames[i], saved_[i]);
            }
        }
    }

private:
    static constexpr const char* kNames[] = {"XDG_RUNTIME_DIR", "PULSE_SERVER", "PIPEWIRE_REMOTE"};
    QList<QByteArray> saved_;
};

// A listening Unix socket where a sound server would have its socket, which records whether
// anybody knocked. It answers nobody, so the client gives up and goes on without it.
class FakeServerSocket {
public:
    explicit FakeServerSocket(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(),
                    std::min<size_t>(name.size(), sizeof address.sun_path - 1));
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(fd_, 4), 0);
    }
    ~FakeServerSocket() { ::close(fd_); }

    // True when a client connects within `timeoutMs`; the connection is closed at once.
    bool knocked(int timeoutMs) {
        pollfd waiting{fd_, POLLIN, 0};
        if (::poll(&waiting, 1, timeoutMs) != 1) {
            return false;
        }
        ::close(::accept(fd_, nullptr, nullptr));
        return true;
    }

private:
    int fd_ = -1;
};

}  // namespace lumi::testing
