// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/SoundOutput.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <list>
#include <optional>

#include "support/Files.h"
#include "support/SoundServerFakes.h"

namespace lumi::platform {
namespace {

using lumi::testing::FakeServerSocket;
using lumi::testing::SoundEnvironment;

// A server counts where its socket is; a plain file of the same name is no server.
TEST(SoundOutputTest, SoundServersWithASocketComeBeforeTheCard) {
    struct Case {
        QStringList sockets;
        QStringList files;
        QStringList drivers;
    };
    for (const Case& c : {
             Case{{}, {}, {"alsa"}},
             Case{{"pulse/native"}, {}, {"pulseaudio", "alsa"}},
             Case{{"pipewire-0"}, {}, {"pipewire", "alsa"}},
             Case{{"pipewire-0", "pulse/native"}, {}, {"pulseaudio", "pipewire", "alsa"}},
             Case{{}, {"pulse/native", "pipewire-0"}, {"alsa"}},
         }) {
        QTemporaryDir runtime;
        const SoundEnvironment environment(runtime.path());
        std::list<FakeServerSocket> sockets;
        for (const QString& name : c.sockets) {
            sockets.emplace_back(runtime.filePath(name));
        }
        for (const QString& name : c.files) {
            QDir().mkpath(QFileInfo(runtime.filePath(name)).path());
            ASSERT_TRUE(lumi::testing::writeFileBytes(runtime.filePath(name), "x"));
        }
        EXPECT_EQ(soundDriverCandidates(), c.drivers) << c.sockets.join(',').toStdString();
        EXPECT_EQ(soundDriverCandidates(runtime.path()), c.drivers);
    }
    const SoundEnvironment noRuntime({});
    qputenv("PULSE_SERVER", "tcp:localhost");
    EXPECT_EQ(soundDriverCandidates(QString()), QStringList({"pulseaudio", "alsa"}));
}

// Where no server listens, or a socket takes the call but never answers, no server answers;
// the probe gives up on its own.
TEST(SoundOutputTest, NoSoundServerAnswersWhereNoneListens) {
    for (const bool socket : {false, true}) {
        QTemporaryDir runtime;
        const SoundEnvironment environment(runtime.path());
        std::optional<FakeServerSocket> silent;
        if (socket) {
            silent.emplace(runtime.filePath("pulse/native"));
        }
        EXPECT_FALSE(soundServerAnswers(std::chrono::milliseconds(250))) << "socket " << socket;
    }
}

}  // namespace
}  // namespace lumi::platform
