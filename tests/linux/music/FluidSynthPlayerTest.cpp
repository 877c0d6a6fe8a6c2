// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/FluidSynthPlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <optional>

#include "music/TinyTune.h"
#include "support/SoundServerFakes.h"

namespace lumi::music {
namespace {

using Output = FluidSynthPlayer::Output;
using lumi::testing::FakeServerSocket;
using lumi::testing::kSmallSoundFont;
using lumi::testing::kTinyNoteSeconds;
using lumi::testing::SoundEnvironment;
using lumi::testing::tinyTune;
using lumi::testing::writeFile;

// Serves Qt events until `condition` holds or `timeoutMs` pass; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FluidSynthPlayerTest : public ::testing::Test {
protected:
    // Writes a tune of `notes` notes (0.4 s each) and returns its path.
    QString tune(int notes) {
        const QString path = dir_.filePath(QStringLiteral("tune%1.mid").arg(notes));
        EXPECT_TRUE(writeFile(path, tinyTune(notes)));
        return path;
    }

    QTemporaryDir dir_;
};

// Deadlines for what a slow or loaded machine may delay, but a working player never misses.
constexpr int kMinutes = 3 * 60 * 1000;

class RealTimeTest : public FluidSynthPlayerTest, public ::testing::WithParamInterface<Output> {};

// Without a sound card the Device output falls back to silent rendering, so both outputs must
// keep real time here: a player that renders as fast as it can would end far too early. A
// loaded machine can only make the tune end later, never earlier.
TEST_P(RealTimeTest, TuneCountsAsPlayingForItsLengthThenEnds) {
    FluidSynthPlayer player(kSmallSoundFont, GetParam());
    const QString path = tune(3);
    EXPECT_FALSE(player.isPlaying());

    QElapsedTimer clock;
    clock.start();
    player.play(path.toStdString(), 0, -1);
    EXPECT_TRUE(player.isPlaying()) << "a tune waiting for the SoundFont counts as playing";

    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
    EXPECT_GE(clock.elapsed(), static_cast<qint64>(3 * kTinyNoteSeconds * 1000) - 50)
        << "the tune ended before its last note was due";
}

INSTANTIATE_TEST_SUITE_P(Outputs, RealTimeTest, ::testing::Values(Output::Silent, Output::Device),
                         [](const auto& info) {
                             return info.param == Output::Silent ? "Silent" : "Device";
                         });

TEST_F(FluidSynthPlayerTest, StopEndsTheTuneAtOnceAndPlayStartsAgain) {
    FluidSynthPlayer player(kSmallSoundFont, Output::Silent);
    const QString path = tune(3);
    player.stop();  // harmless before any play
    EXPECT_FALSE(player.isPlaying());

    player.play(path.toStdString(), 0, -1);
    QTest::qWait(300);
    ASSERT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    QTest::qWait(200);
    EXPECT_FALSE(player.isPlaying()) << "the stopped tune must not come back";
    player.stop();
    EXPECT_FALSE(player.isPlaying());

    player.play(path.toStdString(), 0, -1);
    QTest::qWait(300);
    EXPECT_TRUE(player.isPlaying());
}

// The new tune plays from its own beginning: the player ends with it, not with the first tune,
// which would last far longer than the test waits, and not before the new tune's length.
TEST_F(FluidSynthPlayerTest, PlayReplacesTheSoundingTune) {
    FluidSynthPlayer player(kSmallSoundFont, Output::Silent);
    player.play(tune(3000).toStdString(), 0, -1);  // 20 minutes
    ASSERT_TRUE(player.isPlaying());
    QTest::qWait(300);

    QElapsedTimer clock;
    clock.start();
    player.play(tune(2).toStdString(), 0, -1);  // 0.8 s
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
    EXPECT_GE(clock.elapsed(), static_cast<qint64>(2 * kTinyNoteSeconds * 1000) - 50)
        << "the new tune did not play from its beginning";
}

// Requests that arrive while the SoundFont loads are not queued: only the latest counts. The
// first tune lasts far longer than the test waits, so the player ends only if the short one,
// the latest request, is the one it plays.
TEST_F(FluidSynthPlayerTest, LatestRequestDuringTheLoadWins) {
    const QString endlessTune = tune(1000);  // 400 s
    const QString shortTune = tune(2);
    FluidSynthPlayer player(kSmallSoundFont, Output::Silent);
    player.play(endlessTune.toStdString(), 0, -1);
    player.stop();
    player.play(shortTune.toStdString(), 0, -1);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
}

// An unplayable tune replaces the sounding one with silence and says why in one line.
TEST_F(FluidSynthPlayerTest, UnplayableTuneStartsNothingAndSaysWhy) {
    const struct {
        const char* file;
        QByteArray contents;  // null: nothing is written; "/": a folder is made
        const char* reason;
    } cases[] = {
        {"absent.mid", QByteArray(), "no such file"},
        {"folder.mid", "/", "not a file"},
        {"empty.mid", "", "not a MIDI file"},
        {"text.mid", "This is no tune at all.\n", "not a MIDI file"},
        {"none.mid", QByteArray("MThd\0\0\0\6\0\0\0\0\0\x60", 14), "MIDI file without tracks"},
        {"cut.mid", tinyTune(3).left(40), "truncated MIDI file"},
    };
    FluidSynthPlayer player(kSmallSoundFont, Output::Silent);
    for (const auto& c : cases) {
        const QString path = dir_.filePath(QString::fromLatin1(c.file));
        if (c.contents == "/") {
            ASSERT_TRUE(QDir(dir_.path()).mkdir(c.file));
        } else if (!c.contents.isNull()) {
            ASSERT_TRUE(writeFile(path, c.contents));
        }
        player.play(tune(3).toStdString(), 0, -1);

        ::testing::internal::CaptureStderr();
        player.play(path.toStdString(), 0, -1);
        EXPECT_FALSE(player.isPlaying()) << c.file;
        QTest::qWait(100);
        EXPECT_FALSE(player.isPlaying()) << c.file;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  QStringLiteral("lumiscribe: cannot play %1: %2\n")
                      .arg(path, QString::fromLatin1(c.reason))
                      .toStdString());
    }
}

// The file's layout is checked by play(); events FluidSynth cannot parse show up later.
TEST_F(FluidSynthPlayerTest, TuneWithCorruptEventsEndsAndSaysWhy) {
    QByteArray midi = tinyTune(3);
    midi.replace(22, midi.size() - 22, QByteArray(midi.size() - 22, '\xF4'));
    const QString path = dir_.filePath(QStringLiteral("corrupt.mid"));
    ASSERT_TRUE(writeFile(path, midi));
    FluidSynthPlayer player(kSmallSoundFont, Output::Silent);

    ::testing::internal::CaptureStderr();
    player.play(path.toStdString(), 0, -1);
    EXPECT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              QStringLiteral("lumiscribe: cannot play %1: FluidSynth cannot read the tune\n")
                  .arg(path)
                  .toStdString());
}

// A broken SoundFont is reported once, by the first play(); no play() starts anything.
TEST_F(FluidSynthPlayerTest, BrokenSoundFontPlaysNothingAndIsReportedOnce) {
    const struct {
        QByteArray contents;  // null: the file does not exist
        const char* reason;
    } cases[] = {
        {QByteArray(), "no such file"},
        {"no SoundFont here", "not a SoundFont"},
        // The right header on garbage: only loading it, on the worker, tells it is broken.
        {QByteArray("RIFF\x10\0\0\0sfbkLIST", 16) + QByteArray(64, '\x7f'),
         "FluidSynth cannot load it"},
        // A real SoundFont cut short, which the reader of other SoundFont formats below
        // FluidSynth complains about on its own.
        {readFile(kSmallSoundFont).left(300000), "FluidSynth cannot load it"},
    };
    const QString path = tune(3);
    for (const auto& c : cases) {
        const QString soundFont = dir_.filePath(QStringLiteral("broken.sf2"));
        QFile::remove(soundFont);
        if (!c.contents.isNull()) {
            ASSERT_TRUE(writeFile(soundFont, c.contents));
        }
        ::testing::internal::CaptureStderr();
        {
            FluidSynthPlayer player(soundFont, Output::Silent);
            player.play(path.toStdString(), 0, -1);
            EXPECT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes)) << c.reason;
            player.play(path.toStdString(), 0, -1);
            EXPECT_FALSE(player.isPlaying()) << c.reason;
        }
        // The player's line, and nothing from the libraries below it.
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  QStringLiteral("lumiscribe: cannot play %1: cannot load SoundFont %2: %3\n")
                      .arg(path, soundFont, QString::fromLatin1(c.reason))
                      .toStdString());
    }
}

// The program's shutdown destroys the player; it must neither hang nor wait for the tune,
// which here would last 20 minutes, while the SoundFont loads or while the tune plays.
TEST_F(FluidSynthPlayerTest, DestructionIsPromptWhileLoadingAndWhilePlaying) {
    const QString path = tune(3000);
    for (const bool playing : {false, true}) {
        auto player = std::make_unique<FluidSynthPlayer>(kSmallSoundFont, Output::Silent);
        player->play(path.toStdString(), 0, -1);
        if (playing) {
            QTest::qWait(300);
        }
        auto destroyed = std::async(std::launch::async, [&player] { player.reset(); });
        EXPECT_EQ(destroyed.wait_for(std::chrono::milliseconds(kMinutes)), std::future_status::ready)
            << "playing " << playing;
    }
}

bool machineHasSoundCard() {
    return QFileInfo::exists("/dev/snd");
}

constexpr const char* kSilentLine =
    "lumiscribe: no sound device or sound server; the music plays silently\n";

// Where nothing can sound, the player says so in one line, however often it plays, and the
// audio libraries say nothing; where a sound server has its socket, the player tries it first.
TEST_F(FluidSynthPlayerTest, WithoutASoundDeviceThePlayerSaysOnceThatItPlaysSilently) {
    if (machineHasSoundCard()) {
        GTEST_SKIP() << "this machine has a sound card";
    }
    for (const bool server : {false, true}) {
        QTemporaryDir runtime;
        const SoundEnvironment environment(runtime.path());
        std::optional<FakeServerSocket> socket;
        if (server) {
            socket.emplace(runtime.filePath("pulse/native"));
        }
        ::testing::internal::CaptureStderr();
        {
            FluidSynthPlayer player(kSmallSoundFont, Output::Device);
            player.play(tune(1).toStdString(), 0, -1);
            if (server) {
                EXPECT_TRUE(socket->knocked(kMinutes)) << "the sound server was not tried";
            }
            ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
            player.play(tune(1).toStdString(), 0, -1);
            ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, kMinutes));
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), kSilentLine) << "server " << server;
    }
}

}  // namespace
}  // namespace lumi::music
